#pragma once

#include <memory>
#include <string>

namespace platform {

// An image known by name: a resource image of the application or a system
// symbol. Headless: only the name and kind are kept.
class Image {
public:
    enum class Weight { regular, medium, bold };

    Image(std::string name, bool symbol, Weight weight = Weight::regular);

    // A resource image; none when no resource of that name is known.
    static std::shared_ptr<Image> named(const std::string& name);
    // A system symbol; none for a name that is no symbol name.
    static std::shared_ptr<Image> systemNamed(const std::string& name, Weight weight = Weight::regular);

    // Resource images are those registered here or files of that name in the
    // resource folder.
    static void registerResource(const std::string& name);
    static void setResourceFolder(const std::string& folder);

    const std::string& name() const { return name_; }
    bool isSymbol() const { return symbol_; }
    Weight weight() const { return weight_; }

private:
    std::string name_;
    bool symbol_;
    Weight weight_;
};

}  // namespace platform
