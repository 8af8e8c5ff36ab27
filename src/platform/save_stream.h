#pragma once
// A file written as it is made, for output too large to build in memory first (a report of
// thousands of rooms). It goes to a temporary file beside the target (QSaveFile) and replaces the
// target only when finish() succeeds; cancel(), a failure or the destructor leaves the target as
// it was. Writes are gathered into large blocks and the first failure keeps its reason, which Qt
// loses after a buffered write fails.

#include <QIODevice>
#include <QSaveFile>

namespace room::platform {

class SaveStream : public QIODevice {
public:
    explicit SaveStream(const QString& path);
    ~SaveStream() override;

    // False, with error(), when the target cannot be written.
    bool begin();
    // Writes what is left, brings it to the disk and replaces the target.
    bool finish();
    void cancel();
    bool failed() const { return !m_error.isEmpty(); }
    const QString& error() const { return m_error; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    bool writeOut();
    void fail();

    QSaveFile m_file;
    QByteArray m_pending;
    QString m_error;
};

}  // namespace room::platform
