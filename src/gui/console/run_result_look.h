#pragma once
// How the console's result bar and status line look at the end of a run: calm after a clean run,
// a warning (colour and text) when a served device did not answer, differed or the run was cut
// short, so an installer glancing at the screen is not misled.

class QLabel;
class QProgressBar;

namespace room::gui {

// `clean` false gives the warning look; true (and every new run) the calm one. The bar's
// "warning" property says which, for tests and screen readers' descriptions alike.
void setRunResultLook(QProgressBar* bar, QLabel* status, bool clean);

}  // namespace room::gui
