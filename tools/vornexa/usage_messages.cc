#include "tools/vornexa/usage_messages.h"

#include <regex>

namespace vornexa::cli {

namespace {

using Exit = CLI::ExitCodes;

// The command the user was writing: the deepest one the parse reached.
const CLI::App& CurrentCommand(const CLI::App& app) {
  const CLI::App* current = &app;
  while (!current->get_subcommands().empty()) current = current->get_subcommands().front();
  return *current;
}

// "vornexa cuenta ver".
std::string CommandPath(const CLI::App& command) {
  std::string path = command.get_name();
  for (const CLI::App* up = command.get_parent(); up != nullptr; up = up->get_parent()) {
    path = up->get_name() + " " + path;
  }
  return path;
}

// "ver, guardar, eliminar".
std::string SubcommandNames(const CLI::App& command) {
  std::string names;
  for (const CLI::App* sub : command.get_subcommands([](const CLI::App*) { return true; })) {
    names += (names.empty() ? "" : ", ") + sub->get_name();
  }
  return names;
}

// The command that has the option called `name`, looked up from the current
// command outwards as its parse does; none when no command has it.
const CLI::App* OptionOwner(const CLI::App& command, const std::string& name) {
  for (const CLI::App* app = &command; app != nullptr; app = app->get_parent()) {
    if (app->get_option_no_throw(name) != nullptr) return app;
  }
  return nullptr;
}

// "la opción --desde", "el argumento codigo".
std::string Naming(const std::string& name) {
  return (name.starts_with("-") ? "la opción " : "el argumento ") + name;
}

bool Matches(const std::string& text, const char* pattern, std::smatch& parts) {
  return std::regex_match(text, parts, std::regex(pattern));
}

// `unparsed`: what the parse could not place, in the order typed.
std::string MissingSubcommand(const CLI::App& command, const std::vector<std::string>& unparsed) {
  const std::string choices = "; elija una: " + SubcommandNames(command);
  if (!unparsed.empty()) {
    return "'" + unparsed.front() + "' no es una orden de «" + CommandPath(command) + "»" + choices;
  }
  return "Falta la orden de «" + CommandPath(command) + "»" + choices;
}

std::string Required(const CLI::App& command, const std::string& message,
                     const std::vector<std::string>& unparsed) {
  std::smatch parts;
  if (message == "A subcommand is required") return MissingSubcommand(command, unparsed);
  if (Matches(message, "(.+) is required", parts)) return "Falta " + Naming(parts[1]);
  return "Faltan opciones obligatorias";
}

std::string Conversion(const CLI::App& command, const std::string& message) {
  std::smatch parts;
  if (Matches(message, "Could not convert: (\\S+) = (.*)", parts)) {
    const CLI::App* owner = OptionOwner(command, parts[1]);
    const std::string type =
        owner != nullptr ? owner->get_option_no_throw(parts[1])->get_type_name() : "";
    const bool integer = type == "INT" || type == "UINT";
    return "Valor no válido para " + parts[1].str() + ": '" + parts[2].str() + "'" +
           (integer ? " (se espera un número entero)" : "");
  }
  if (Matches(message, "The value (.*) is not an allowed value for (\\S+)", parts)) {
    return "Valor no válido para " + parts[2].str() + ": '" + parts[1].str() + "'";
  }
  if (Matches(message, "(\\S+): (too many inputs for a flag|Should be true/false or a number)",
              parts)) {
    return parts[1].str() + " no lleva valor";
  }
  return "Un valor de la orden no es válido";
}

std::string Mismatch(const std::string& message) {
  std::smatch parts;
  if (Matches(message, "(\\S+): \\d+ required \\S+ missing", parts)) {
    return "Falta el valor de " + parts[1].str();
  }
  if (Matches(message, "(\\S+) was given a disallowed flag override", parts)) {
    return parts[1].str() + " no lleva valor";
  }
  if (Matches(message, "Expected (?:exactly|at least) \\d+ arguments to (\\S+), got \\d+", parts) ||
      Matches(message, "(\\S+): At (?:least|Most) \\d+ required but received \\d+", parts)) {
    return "Número de valores no válido para " + parts[1].str();
  }
  return "Número de valores no válido";
}

std::string Extras(const std::vector<std::string>& unparsed) {
  if (unparsed.empty()) return "Sobran argumentos";
  std::string list;
  for (const std::string& arg : unparsed) list += (list.empty() ? "" : " ") + arg;
  return (unparsed.size() == 1 ? "No se esperaba el argumento "
                               : "No se esperaban los argumentos ") +
         list;
}

std::string Spanish(const CLI::App& top, const CLI::App& command, const CLI::Error& error) {
  const std::string message = error.what();
  // A word the parse could not place may have fallen through to a command
  // above the one it was typed for.
  const std::vector<std::string> unparsed = top.remaining(true);
  std::smatch parts;
  switch (static_cast<Exit>(error.get_exit_code())) {
    case Exit::ValidationError:  // the tool's own, in Spanish already
      return message;
    case Exit::RequiredError:
      return Required(command, message, unparsed);
    case Exit::ConversionError:
      return Conversion(command, message);
    case Exit::ArgumentMismatch:
      return Mismatch(message);
    case Exit::ExtrasError:
      return Extras(unparsed);
    case Exit::RequiresError:
      if (Matches(message, "(\\S+) requires (\\S+)", parts)) {
        return parts[1].str() + " necesita " + parts[2].str();
      }
      break;
    case Exit::ExcludesError:
      if (Matches(message, "(\\S+) excludes (\\S+)", parts)) {
        return parts[1].str() + " no va junto con " + parts[2].str();
      }
      break;
    default:
      break;
  }
  return "La orden no se puede interpretar";
}

}  // namespace

std::string UsageMessage(const CLI::App& app, const CLI::Error& error) {
  const CLI::App& command = CurrentCommand(app);
  const std::string message = Spanish(app, command, error);
  // The help that lists the option the message names: a global option's is
  // the tool's own, not the command's.
  const CLI::App* help = &command;
  std::smatch option;
  if (std::regex_search(message, option, std::regex("--[a-z][a-z-]*"))) {
    if (const CLI::App* owner = OptionOwner(command, option.str())) help = owner;
  }
  return message + "\nAyuda: " + CommandPath(*help) + " --help\n";
}

}  // namespace vornexa::cli
