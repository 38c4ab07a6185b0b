#pragma once

#include <string>

#include "platform/ui/TextRange.h"

namespace platform {

class TextField;

class TextFieldDelegate {
public:
    virtual ~TextFieldDelegate() = default;
    // Asked before the user's edit replaces `range` with `replacement`;
    // false refuses the change.
    virtual bool textFieldShouldChangeCharactersIn(TextField&, TextRange, const std::string&) { return true; }
    virtual bool textFieldShouldReturn(TextField&) { return true; }
    virtual void textFieldDidBeginEditing(TextField&) {}
    virtual void textFieldDidEndEditing(TextField&) {}
};

}  // namespace platform
