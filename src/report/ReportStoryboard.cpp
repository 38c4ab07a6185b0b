#include "report/ReportStoryboard.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/WebView.h"
#include "report/Preview.h"

using platform::Storyboard;

namespace {

constexpr const char* kMain = "Main";

void layoutPreview(platform::ViewController& screen) {
    auto& preview = static_cast<Preview&>(screen);
    preview.webView = preview.addOutlet<platform::WebView>("webView");
    auto toolbar = preview.addOutlet<platform::Toolbar>("toolbar");
    std::weak_ptr<Preview> weak = std::static_pointer_cast<Preview>(preview.shared_from_this());
    toolbar->setItems({std::make_shared<platform::BarButtonItem>(
        "akcia", platform::BarButtonItem::Style::plain, [weak](platform::BarButtonItem&) {
            if (auto shown = weak.lock()) shown->akciaTapped();
        })});
    preview.toolbar = toolbar;
}

}  // namespace

void ReportStoryboard::registerAll() {
    Storyboard::registerScreen(kMain, "Preview", [] { return std::make_shared<Preview>(); }, layoutPreview);
}
