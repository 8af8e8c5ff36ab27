#pragma once
// A full disk for the length of a scope: the process's file-size limit makes every write past
// `bytes` fail part-way (EFBIG) the way a disk that fills up does (ENOSPC), without a small
// filesystem to mount. SIGXFSZ is ignored meanwhile, or the limit would end the process.

#if defined(__linux__)
#include <signal.h>
#include <sys/resource.h>

namespace room::testing {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_set = getrlimit(RLIMIT_FSIZE, &m_saved) == 0;
        m_handler = ::signal(SIGXFSZ, SIG_IGN);
        rlimit tight = m_saved;
        tight.rlim_cur = bytes;
        m_set = m_set && setrlimit(RLIMIT_FSIZE, &tight) == 0;
    }
    ~FileSizeLimit() {
        if (m_set) setrlimit(RLIMIT_FSIZE, &m_saved);
        ::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool isSet() const { return m_set; }

private:
    rlimit m_saved{};
    sighandler_t m_handler = SIG_DFL;
    bool m_set = false;
};

}  // namespace room::testing
#endif
