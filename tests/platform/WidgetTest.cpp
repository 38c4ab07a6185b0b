#include <gtest/gtest.h>

#include <chrono>

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/Image.h"
#include "platform/ui/ProgressView.h"
#include "platform/ui/Switch.h"

using namespace platform;
using namespace std::chrono_literals;

TEST(Widgets, DatePickerStaysWithinItsBounds) {
    DatePicker picker;
    auto now = std::chrono::system_clock::now();
    int changes = 0;
    picker.addTarget([&](Control&) { ++changes; });
    picker.setDate(now - 30 * 24h);
    picker.setMinimumDate(now - 14 * 24h);  // the date moves up to the bound
    EXPECT_EQ(picker.date(), now - 14 * 24h);
    picker.setMaximumDate(now + 14 * 24h);
    picker.pick(now + 20 * 24h);
    EXPECT_EQ(picker.date(), now + 14 * 24h);
    EXPECT_EQ(changes, 1);
}

TEST(Widgets, ControlsSendActionsOnlyWhenEnabledAndOnlyForTheUser) {
    Switch sw;
    int sent = 0;
    sw.addTarget([&](Control&) { ++sent; });
    sw.setOn(true);
    EXPECT_EQ(sent, 0);
    sw.toggle();
    EXPECT_FALSE(sw.isOn());
    sw.setEnabled(false);
    sw.toggle();
    EXPECT_EQ(sent, 1);

    Button button;
    button.addTarget([&](Control&) { ++sent; });
    button.tap();
    EXPECT_EQ(sent, 2);

    int bar = 0;
    BarButtonItem save(BarButtonItem::SystemItem::save, [&](BarButtonItem&) { ++bar; });
    EXPECT_EQ(save.title(), "Save");
    EXPECT_EQ(save.style(), BarButtonItem::Style::done);
    save.tap();
    save.setEnabled(false);
    save.tap();
    EXPECT_EQ(bar, 1);
}

TEST(Widgets, ProgressIsClamped) {
    ProgressView p;
    p.setProgress(1.5f);
    EXPECT_FLOAT_EQ(p.progress(), 1.0f);
    p.setProgress(-0.2f);
    EXPECT_FLOAT_EQ(p.progress(), 0.0f);
}

TEST(Widgets, ImagesByNameAndSymbols) {
    EXPECT_EQ(Image::named("generic_box.png"), nullptr);
    Image::registerResource("generic_box.png");
    ASSERT_NE(Image::named("generic_box.png"), nullptr);
    EXPECT_FALSE(Image::named("generic_box.png")->isSymbol());
    auto symbol = Image::systemNamed("person.fill");
    ASSERT_NE(symbol, nullptr);
    EXPECT_TRUE(symbol->isSymbol());
    EXPECT_EQ(Image::systemNamed("generic_box.png"), nullptr);
    EXPECT_EQ(Image::systemNamed(""), nullptr);
    EXPECT_EQ(Image::systemNamed("Not A Symbol"), nullptr);
}
