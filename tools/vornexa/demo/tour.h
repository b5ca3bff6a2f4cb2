// The guided tour that `vornexa demo` prints: every capability of the
// library, run for real on the sample company.
#ifndef TOOLS_VORNEXA_DEMO_TOUR_H_
#define TOOLS_VORNEXA_DEMO_TOUR_H_

#include <iosfwd>
#include <string>

#include "tools/vornexa/demo/company.h"
#include "tools/vornexa/session.h"

namespace vornexa::cli::demo {

// `session` works on the freshly built sample company; `program` is the
// tool's name as called, for the closing hints.
void PrintTour(std::ostream& out, const Session& session, const std::string& path,
               const DemoSummary& summary, const std::string& program);

}  // namespace vornexa::cli::demo

#endif  // TOOLS_VORNEXA_DEMO_TOUR_H_
