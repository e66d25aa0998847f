// Desktop notifications: a short message the desktop shows outside the program's windows (the
// freedesktop notification service on the session bus). Without a session bus or a service,
// nothing is shown, nothing is printed, and neither callback runs.
#pragma once

#include <functional>

class CWnd;

// Shows `summary` and `body` (plain UTF-8 text; CR LF or LF between lines) as a notification
// of `owner`'s program, a moment later, so that a start is not held up by the bus. `accepted`
// runs once the service has taken it; `activated` when the user activates it (clicks it).
// Neither runs once `owner`'s window is gone.
void AfxShowNotification(CWnd* owner, const char* summary, const char* body,
                         std::function<void()> accepted, std::function<void()> activated);
