// The synchronisation from the login to the office's answer, through the
// screens as a salesman goes.

#include "fakes/FakeOffice.h"
#include "platform/UrlSession.h"
#include "sync/Spojenie.h"
#include "sync/SyncStoryboard.h"
#include "ui/shell/ShellFixture.h"

class SynchronizaciaRoadTest : public ShellTest {};

TEST_F(SynchronizaciaRoadTest, FromTheMainMenuToHotovo) {
    SyncStoryboard::registerAll();
    platform::UrlSession::setMaximumTimeout(1.0);
    FakeOffice office;
    logIn();
    settings().BACKUP_PC_DIR = office.backupDir();
    settings().IMPORT_PC_DIR = office.importDir();
    openFromMain("spojenie");
    auto menu = topMenu();
    tapRow("synchronizácia");
    auto screen = std::dynamic_pointer_cast<Spojenie>(top());
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->selectedMenuItem->segue, "spojenie_synchronizacia_segue");
    ASSERT_TRUE(alert());
    tapAlert("áno");
    platform::MainRunLoop::runUntil([this] { return alert() && alert()->title() == "hotovo"; },
                                    std::chrono::milliseconds(15000));
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "hotovo");
    EXPECT_EQ(office.uploads().size(), 2u) << "the backup archive and the closed log";
    tapAlert("ok");
    EXPECT_EQ(top(), menu);
    platform::UrlSession::setMaximumTimeout(std::nullopt);
}
