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

// The option called `name`, looked up from the current command outwards, as
// its parse does.
const CLI::Option* FindOption(const CLI::App& command, const std::string& name) {
  for (const CLI::App* app = &command; app != nullptr; app = app->get_parent()) {
    if (const CLI::Option* option = app->get_option_no_throw(name)) return option;
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

std::string MissingSubcommand(const CLI::App& command) {
  const std::vector<std::string> unknown = command.remaining();
  const std::string choices = "; elija una: " + SubcommandNames(command);
  if (!unknown.empty()) {
    return "'" + unknown.front() + "' no es una orden de «" + CommandPath(command) + "»" + choices;
  }
  return "Falta la orden de «" + CommandPath(command) + "»" + choices;
}

std::string Required(const CLI::App& command, const std::string& message) {
  std::smatch parts;
  if (message == "A subcommand is required") return MissingSubcommand(command);
  if (Matches(message, "(.+) is required", parts)) return "Falta " + Naming(parts[1]);
  return "Faltan opciones obligatorias";
}

std::string Conversion(const CLI::App& command, const std::string& message) {
  std::smatch parts;
  if (Matches(message, "Could not convert: (\\S+) = (.*)", parts)) {
    const CLI::Option* option = FindOption(command, parts[1]);
    const bool integer = option != nullptr && (option->get_type_name() == "INT" ||
                                               option->get_type_name() == "UINT");
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
  if (Matches(message, "Expected (?:exactly|at least) \\d+ arguments to (\\S+), got \\d+",
              parts) ||
      Matches(message, "(\\S+): At (?:least|Most) \\d+ required but received \\d+", parts)) {
    return "Número de valores no válido para " + parts[1].str();
  }
  return "Número de valores no válido";
}

std::string Extras(const std::string& message) {
  std::smatch parts;
  if (Matches(message, "The following argument was not expected: (.*)", parts)) {
    return "No se esperaba el argumento " + parts[1].str();
  }
  if (Matches(message, "The following arguments were not expected: (.*)", parts)) {
    return "No se esperaban los argumentos " + parts[1].str();
  }
  return "Sobran argumentos";
}

std::string Spanish(const CLI::App& command, const CLI::Error& error) {
  const std::string message = error.what();
  std::smatch parts;
  switch (static_cast<Exit>(error.get_exit_code())) {
    case Exit::ValidationError:  // the tool's own, in Spanish already
      return message;
    case Exit::RequiredError:
      return Required(command, message);
    case Exit::ConversionError:
      return Conversion(command, message);
    case Exit::ArgumentMismatch:
      return Mismatch(message);
    case Exit::ExtrasError:
      return Extras(message);
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
  return Spanish(command, error) + "\nAyuda: " + CommandPath(command) + " --help\n";
}

}  // namespace vornexa::cli
