#include "report/Report.h"

#include "platform/Clock.h"

Report::Report()
    : date(platform::Clock::now()),
      reportHeader(std::make_shared<Section>()),
      pageHeader(std::make_shared<Section>()),
      pageBody(std::make_shared<Section>()),
      pageFooter(std::make_shared<Section>()),
      reportFooter(std::make_shared<Section>()) {}
