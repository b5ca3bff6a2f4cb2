// The condition most account statements start from.
#ifndef VORNEXA_ACCOUNTS_EXERCISE_ROWS_H_
#define VORNEXA_ACCOUNTS_EXERCISE_ROWS_H_

#include <cstdint>

#include "vornexa/context/sql_statement.h"

namespace vornexa {

// " WHERE Cod_Empresa =1 AND Cod_Ejercicio =5": the rows of one exercise.
inline SqlStatement& ExerciseRows(SqlStatement& sql, int16_t company, int16_t exercise) {
  return sql.Raw(" WHERE Cod_Empresa =").Number(company).Raw(" AND Cod_Ejercicio =").Number(exercise);
}

}  // namespace vornexa

#endif  // VORNEXA_ACCOUNTS_EXERCISE_ROWS_H_
