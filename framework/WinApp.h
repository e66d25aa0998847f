// CWinApp: the one application object. The start-up routine creates the platform application,
// calls InitInstance and ends the process when it returns. It also holds the main window
// pointer, loads icons by ID and offers the profile operations.
#pragma once

#include <memory>

#include "framework/CmdTarget.h"
#include "core/String.h"
#include "core/WinTypes.h"

class CWnd;
class ProfileBackups;
class ProfileStore;

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return FALSE; }

    HICON LoadIcon(UINT id) const;

    int GetProfileInt(const char* section, const char* key, int defaultValue);
    BOOL WriteProfileInt(const char* section, const char* key, int value);
    CString GetProfileString(const char* section, const char* key, const char* defaultValue = nullptr);
    BOOL WriteProfileString(const char* section, const char* key, const char* value);
    // The store behind the profile operations: $XDG_CONFIG_HOME/<executable name>.ini, worked out
    // at the first use.
    ProfileStore& Profile();
    // Where copies of the profile go: the daily ones and those kept for good.
    ProfileBackups& Backups();
    // Another profile file from now on (tests point it into a scratch folder).
    void SetProfilePath(const char* path);

    CWnd* m_pMainWnd = nullptr;
    CString m_appName;

protected:
    void OnHelp() {}
    DECLARE_MESSAGE_MAP()

private:
    // Before the first write of each day, the profile as it stands goes to a dated backup.
    void BackUpBeforeWrite();

    CString m_profilePath;
    std::unique_ptr<ProfileStore> m_profile;
    std::unique_ptr<ProfileBackups> m_backups;
    long long m_backupCheckedAt = -1; // the second of the last check (a save writes many keys)
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// The start-up routine: platform application, InitInstance, exit code.
int AfxWinMain(int argc, char** argv);
