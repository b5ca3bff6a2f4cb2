#include "vornexa/base/error.h"

#include <new>

namespace vornexa {

namespace {

// A database's message may span lines; a report of it stays one line, each
// line break (CR LF or LF) one blank.
std::string OneLine(int32_t number, const std::string& source,
                    const std::string& description) {
  std::string line = "error " + std::to_string(number) + " (" + source + "): ";
  line.reserve(line.size() + description.size());
  for (char c : description) {
    if (c != '\r') line += c == '\n' ? ' ' : c;
  }
  return line;
}

}  // namespace

Error::Error(int32_t number, std::string source, std::string description)
    : std::runtime_error(OneLine(number, source, description)),
      number_(number),
      source_(std::move(source)),
      description_(std::move(description)) {}

Error::Error(int32_t number, std::string source, std::string description, std::string sql_state,
             int32_t native_error)
    : Error(number, std::move(source), std::move(description)) {
  sql_state_ = std::move(sql_state);
  native_error_ = native_error;
}

std::string_view StandardDescription(int32_t number) {
  using namespace error_number;
  switch (number) {
    case kInvalidArgument:
      return "Llamada a procedimiento o argumento no válido";
    case kOverflow:
      return "Desbordamiento";
    case kOutOfMemory:
      return "Memoria insuficiente";
    case kSubscriptOutOfRange:
      return "El subíndice está fuera del intervalo";
    case kTypeMismatch:
      return "No coinciden los tipos";
    case kInternal:
      return "Error interno";
    case kObjectNotSet:
      return "Variable de objeto o bloque With no establecido";
    case kInvalidUseOfNull:
      return "Uso no válido de Null";
    case kMemberNotFound:
      return "El objeto no admite esta propiedad o método";
    case kWrongArgumentCount:
      return "Número de argumentos incorrecto o asignación de propiedad no válida";
    case kItemNotFound:
      return "No se encontró el elemento en la colección que corresponde al "
             "nombre o al ordinal solicitado.";
    case kNoCurrentRecord:
      return "BOF o EOF es True, o el registro actual se eliminó. La operación "
             "solicitada requiere un registro actual.";
    case kObjectClosed:
      return "No se permite realizar la operación si el objeto está cerrado.";
    case kConnectionUnusable:
      return "No se puede usar la conexión para realizar esta operación. Está "
             "cerrada o no es válida en este contexto.";
    case kWrongThread:
      return "El objeto pertenece a otro subproceso: solo se puede usar en el "
             "subproceso que lo creó.";
    default:
      return "Error definido por la aplicación o por el objeto";
  }
}

void RaiseRuntimeError(int32_t number) {
  throw Error(number, std::string(kRuntimeSource),
              std::string(StandardDescription(number)));
}

void RaiseDataError(int32_t number) {
  throw Error(number, std::string(kDataSource),
              std::string(StandardDescription(number)));
}

void RethrowWithSource(std::string_view source) {
  try {
    throw;
  } catch (const Error& e) {
    throw Error(e.Number(), std::string(source), e.Description(), e.SqlState(), e.NativeError());
  } catch (const std::bad_alloc&) {
    throw Error(error_number::kOutOfMemory, std::string(source),
                std::string(StandardDescription(error_number::kOutOfMemory)));
  } catch (const std::exception& e) {
    throw Error(error_number::kInternal, std::string(source),
                std::string(StandardDescription(error_number::kInternal)) +
                    ": " + e.what());
  } catch (...) {
    throw Error(error_number::kInternal, std::string(source),
                std::string(StandardDescription(error_number::kInternal)));
  }
}

std::string MissingUpperAccountDescription(std::string_view upper_code, int64_t exercise) {
  return std::string(error_description::kMissingUpperAccount) + "\r\nDebe crear : " +
         std::string(upper_code) + " en ejercicio: " + std::to_string(exercise);
}

std::string AccountHasMovementsDescription(std::string_view code) {
  return "No se puede eliminar la cuenta " + std::string(code) + " por tener movimientos asociados";
}

std::string InvalidUtf8Description(std::string_view field) {
  return "El campo " + std::string(field) + " contiene texto que no es UTF-8 válido";
}

std::string NulCharacterDescription(std::string_view field) {
  return "El campo " + std::string(field) + " contiene un carácter nulo";
}

void RaiseComponentError(std::string_view source, std::string description) {
  throw Error(error_number::kComponent, std::string(source), std::move(description));
}

}  // namespace vornexa
