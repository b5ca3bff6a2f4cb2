#include "tools/vornexa/commands.h"

namespace vornexa::cli {

CLI::App* AddSessionCommand(CLI::App& parent, const std::string& name,
                            const std::string& description, const GlobalOptions& options,
                            SessionAction action) {
  CLI::App* command = parent.add_subcommand(name, description);
  std::string source = "vornexa ";
  if (parent.get_parent() != nullptr) source += parent.get_name() + " ";
  source += name;
  command->callback([&options, source, action = std::move(action)] {
    action(Session::Open(options), source);
  });
  return command;
}

}  // namespace vornexa::cli
