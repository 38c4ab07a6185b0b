#include "ui/shell/Servis.h"

std::optional<double> Servis::heightForRowAt(platform::TableView&, const platform::IndexPath&) { return 100.0; }
