#include <gtest/gtest.h>

#include <memory>

#include "platform/ui/AlertController.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Utf8Text.h"

using namespace platform;

namespace {

// Refuses insertions once the text holds 7 characters; deletions and
// replacements of a selection always pass.
class LengthLimit : public TextFieldDelegate {
public:
    bool textFieldShouldChangeCharactersIn(TextField& field, TextRange range, const std::string&) override {
        ++asked;
        if (Utf8Text::length(field.textOrEmpty()) < 7) return true;
        return range.length > 0;
    }
    int asked = 0;
};

class ScopeRecorder : public SearchBarDelegate {
public:
    void searchBarTextDidChange(SearchBar&, const std::string& text) override { texts.push_back(text); }
    void searchBarSelectedScopeButtonIndexDidChange(SearchBar&, int scope) override { scopes.push_back(scope); }
    std::vector<std::string> texts;
    std::vector<int> scopes;
};

}  // namespace

TEST(Keyboard, PadsFilterTypedCharacters) {
    TextField number;
    number.setKeyboardType(KeyboardType::numberPad);
    EXPECT_EQ(number.type("12a-3,4"), 4u);
    EXPECT_EQ(number.textOrEmpty(), "1234");

    TextField decimal;
    decimal.setKeyboardType(KeyboardType::decimalPad);
    decimal.type("-12,50x");
    EXPECT_EQ(decimal.textOrEmpty(), "12,50");

    TextField punctuation;
    punctuation.setKeyboardType(KeyboardType::numbersAndPunctuation);
    punctuation.type("-3.5");
    EXPECT_EQ(punctuation.textOrEmpty(), "-3.5");

    TextField plain;
    plain.type("Novák 7");
    EXPECT_EQ(plain.textOrEmpty(), "Novák 7");

    // Code may set anything.
    number.setText(std::string("abc"));
    EXPECT_EQ(number.textOrEmpty(), "abc");
    // A paste with a character the pad lacks does not go in at all.
    EXPECT_FALSE(number.replace({0, 3}, "1x"));
    EXPECT_EQ(number.textOrEmpty(), "abc");
}

TEST(Keyboard, DelegateMayRefuseAChange) {
    auto limit = std::make_shared<LengthLimit>();
    TextField field;
    field.setKeyboardType(KeyboardType::numberPad);
    field.setDelegate(limit);
    EXPECT_EQ(field.type("12345678"), 7u);
    EXPECT_EQ(field.textOrEmpty(), "1234567");
    EXPECT_TRUE(field.deleteBackward());
    EXPECT_EQ(field.textOrEmpty(), "123456");
    EXPECT_EQ(field.type("9"), 1u);
    // A paste into six characters goes in whole; the replaced range decides.
    field.deleteBackward();
    EXPECT_TRUE(field.replace({6, 0}, "0000"));
    EXPECT_EQ(field.textOrEmpty(), "1234560000");
    EXPECT_TRUE(field.replace({0, 2}, "9"));
    EXPECT_EQ(field.textOrEmpty(), "934560000");
    EXPECT_TRUE(field.clear());
    EXPECT_EQ(field.textOrEmpty(), "");
}

TEST(Keyboard, CharactersAreCountedNotBytes) {
    auto limit = std::make_shared<LengthLimit>();
    TextField field;
    field.setDelegate(limit);
    field.type("ľščťžýáí");
    EXPECT_EQ(field.textOrEmpty(), "ľščťžýá");
    field.deleteBackward();
    EXPECT_EQ(field.textOrEmpty(), "ľščťžý");
}

TEST(AlertFields, ConfiguredAtOnceAndOnlyOnAlerts) {
    auto alert = AlertController::make("kilometre", "pôvodný stav: 10");
    alert->addTextField([](TextField& f) {
        f.setKeyboardType(KeyboardType::numberPad);
        f.setText(std::string("10"));
        f.setTextAlignment(TextAlignment::right);
    });
    ASSERT_EQ(alert->textFields().size(), 1u);
    EXPECT_EQ(alert->textFields()[0]->textOrEmpty(), "10");
    alert->textFields()[0]->type("x5");
    EXPECT_EQ(alert->textFields()[0]->textOrEmpty(), "105");

    auto sheet = AlertController::make("vyber", std::nullopt, AlertController::Style::actionSheet);
    sheet->addTextField();
    EXPECT_TRUE(sheet->textFields().empty());
}

TEST(AlertActions, KeepOrderStylesAndRunOnce) {
    auto alert = AlertController::make("q", "");
    int runs = 0;
    alert->addAction(std::make_shared<AlertAction>("nie", AlertAction::Style::cancel));
    alert->addAction(std::make_shared<AlertAction>("zmazať", AlertAction::Style::destructive,
                                                   [&](AlertAction&) { ++runs; }));
    ASSERT_EQ(alert->actions().size(), 2u);
    EXPECT_EQ(alert->actions()[0]->style(), AlertAction::Style::cancel);
    EXPECT_TRUE(alert->tapAction("zmazať"));
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(alert->tapAction("neexistuje"));
}

TEST(SearchBarInput, KeyboardFiltersAndScopesNotify) {
    auto recorder = std::make_shared<ScopeRecorder>();
    SearchBar bar;
    bar.setDelegate(recorder);
    bar.setScopeButtonTitles({"kód", "názov", "ičo"});
    bar.setKeyboardType(KeyboardType::numberPad);
    bar.enterText("12ab");
    EXPECT_EQ(bar.text(), "12");
    bar.selectScope(1);
    bar.selectScope(1);  // no change, no call
    bar.selectScope(7);  // no such scope
    EXPECT_EQ(recorder->scopes, (std::vector<int>{1}));
    EXPECT_EQ(recorder->texts, (std::vector<std::string>{"12"}));
}

TEST(Keyboard, TypingReplacesASelectedText) {
    auto limit = std::make_shared<LengthLimit>();
    TextField field;
    field.setDelegate(limit);
    field.setText(std::string("1234567"));
    field.selectAll();
    // A full field still takes the first character: it replaces the selection.
    EXPECT_EQ(field.type("89"), 2u);
    EXPECT_EQ(field.textOrEmpty(), "89");
    EXPECT_FALSE(field.selectedRange().has_value());
}
