// Adds the saved placement to the clock window: outer rectangle and flag word from and to the
// profile's "LOCATE" and "SETTING" sections.
#include "profile/ProfileStore.h"
#include "framework/WinApp.h"
#include "clock/ClockDialog.h"
#include "clock/PlacementRules.h"

void CClockDialog::LoadPlacement()
{
    CWinApp* app = AfxGetApp();
    CRect rect;
    GetWindowRect(&rect);
    const CRect current = rect;
    CRect client;
    GetClientRect(&client);
    rect.left = app->GetProfileInt("LOCATE", "LEFT", rect.left);
    rect.top = app->GetProfileInt("LOCATE", "TOP", rect.top);
    rect.right = app->GetProfileInt("LOCATE", "RIGHT", rect.right);
    rect.bottom = app->GetProfileInt("LOCATE", "BOTTOM", rect.bottom);
    m_flags = app->GetProfileInt("SETTING", "FLAG", m_flags);
    // Used as stored while its caption is easy to reach; moved onto the nearest screen otherwise.
    rect = ReachablePlacement(rect, current, GetScreenWorkAreas(), current.Height() - client.Height());
    MoveWindow(rect, TRUE);
}

void CClockDialog::SavePlacement()
{
    CWinApp* app = AfxGetApp();
    CRect rect;
    GetWindowRect(&rect);
    // One replace for the five keys, so the file never holds half a rectangle.
    ProfileStore::Batch batch(app->Profile());
    app->WriteProfileInt("LOCATE", "LEFT", rect.left);
    app->WriteProfileInt("LOCATE", "TOP", rect.top);
    app->WriteProfileInt("LOCATE", "RIGHT", rect.right);
    app->WriteProfileInt("LOCATE", "BOTTOM", rect.bottom);
    app->WriteProfileInt("SETTING", "FLAG", m_flags);
    batch.Commit();
}
