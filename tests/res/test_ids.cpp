// The names of resource.h stand for the numbers the resources and the code
// agree on; a renumbering here would split the program from its resources.
#include <windows.h>

#include "res/resource.h"

#include <gtest/gtest.h>

#include <cstring>

static_assert(IDD_MAIN == 101 && IDD_SHARE == 104 && IDD_ABOUT == 109 && IDD_GET == 110 && IDD_PROGRESS == 111 &&
              IDD_CLEAR_STACK == 112);
static_assert(IDI_APP == 102 && IDI_SMALL == 103);
static_assert(IDM_TRAY == 103);
static_assert(IDB_GLYPHS == 105 && IDB_CHECKS == 138 && IDB_KEYCAPS == 139);
static_assert(IDS_USER == 101 && IDS_COMPUTER == 102 && IDS_PRODUCT == 103 && IDS_CLIPBOARD_EMPTY == 104 &&
              IDS_PICTURE == 105 && IDS_UNKNOWN_FORMAT == 106 && IDS_SELECT_USERS == 109 &&
              IDS_NOTHING_SHARED == 110 && IDS_FETCH_FAILED == 111 && IDS_PICTURE_SIZE == 112 &&
              IDS_KILL_STATIC == 113);
static_assert(IDC_STATIC == -1);
static_assert(IDC_USER_NAME == 1004 && IDC_ABOUT == 1006);
static_assert(IDC_SHARED == 1000 && IDC_ALL_USERS == 1001 && IDC_SELECTED_USERS == 1002 && IDC_USER_LIST == 1003);
static_assert(IDC_SNAPSHOT_LIST == 1003);
static_assert(IDC_SHARED_TREE == 1009);
static_assert(IDC_PROGRESS_BAR == 1010 && IDC_PROGRESS_TEXT == 1011);
static_assert(IDC_SEND_MAIL == 1014 && IDC_WEB_PAGE == 1015);
static_assert(CMD_CLIPBOARD_CHANGED == 666);
static_assert(CMD_PROPERTIES == 40001 && CMD_ADD_BUTTON == 40002 && CMD_CLOSE_BUTTON == 40003 && CMD_SHARE == 40004 &&
              CMD_EXIT == 40005 && CMD_GET == 40006 && CMD_ACTIVATE_BUTTON == 40021 && CMD_ADD_STATIC == 40023 &&
              CMD_CLEAR_STACK == 40027);
static_assert(WM_TRAY_NOTIFY == 1031);

namespace {

TEST(ResourceIds, MakerAddressesAreTheOnesTheAboutBoxShows) {
    // The About box's buttons are built from these in the resource script.
    EXPECT_STREQ(MAKER_EMAIL, "tolvaran@example.org");
    EXPECT_STREQ(MAKER_WEB_PAGE, "http://www.example.org/tolvaran/");
    EXPECT_EQ(std::strncmp(MAKER_WEB_PAGE, "http://", 7), 0);
}

}  // namespace
