#include "sync/SyncStoryboard.h"

#include "platform/ui/Storyboard.h"
#include "sync/Spojenie.h"

namespace {

void layoutSpojenie(platform::ViewController& screen) {
    auto& spojenie = static_cast<Spojenie&>(screen);
    spojenie.progressView = spojenie.addOutlet<platform::ProgressView>("progressView", "priebeh");
    spojenie.labelInfo = spojenie.addOutlet<platform::Label>("labelInfo", "");
    auto indicator = spojenie.addOutlet<platform::ActivityIndicatorView>("activityIndicator", "");
    indicator->setHidesWhenStopped(false);
    spojenie.activityIndicator = indicator;
}

}  // namespace

void SyncStoryboard::registerAll() {
    platform::Storyboard::registerScreen("Main", "Spojenie", [] { return std::make_shared<Spojenie>(); },
                                         layoutSpojenie);
}
