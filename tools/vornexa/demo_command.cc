// placeholder
#include "tools/vornexa/commands.h"
namespace vornexa::cli {
void AddDemoCommand(CLI::App&, const GlobalOptions&) {}
}
