' The classes without a database: fields, types, codes, and the errors of
' operations that find no connection or no company.
Dim company, account, group, other, r
Set company = New Empresa

' A new object: every field empty, zero or False, with its Automation type.
Set account = CreateObject("Vornexa.clsCuenta")
Check "nuevo Cuenta", account.Cuenta, ""
Check "nuevo Nivel", account.Nivel, CInt(0)
Check "nuevo Cp", account.Cp, CLng(0)
Check "nuevo NoVerificarNivelesSup", account.NoVerificarNivelesSup, False
Check "nuevo Tipo_Irpf", account.Tipo_Irpf, CInt(0)

' Fields keep what is written, by name and by dispatch id alike.
account.Nombre = "Caja, euros"
account.F_Cp = 28001
account.Secuencia_Adeudo = -3
account.NoVerificarNivelesSup = True
Check "Nombre", account.Nombre, "Caja, euros"
Check "F_Cp", account.F_Cp, CLng(28001)
Check "Secuencia_Adeudo", account.Secuencia_Adeudo, CInt(-3)
Check "True es -1", CInt(account.NoVerificarNivelesSup), CInt(-1)

' An Integer field refuses a value beyond 16 bits, as Basic does.
account.Nivel = 40000
caught = LastError()
Check "Integer desbordado", caught(0), CLng(6)
Check "Integer desbordado conserva", account.Nivel, CInt(0)
account.Nombre = Null
CheckError "Null en un campo de texto", 94, "Vornexa", "Uso no válido de Null"


' Codes need the company; without one, 91.
r = account.CuentaDesarrollo("43.1")
CheckError "CuentaDesarrollo sin empresa", 91, "Vornexa", _
  "Variable de objeto o bloque With no establecido"

Set account.cEmpresa = company
Check "CuentaDesarrollo", account.CuentaDesarrollo("43.1"), "43000001"
Check "ComponerCuenta", account.ComponerCuenta("57", 12, 8), "57000012"

' No connection on this thread yet: executing fails with 91, reading with
' the data-access error 3709, each under the operation's source.
account.Cuenta = "43000001"
company.Codigo = Null
r = account.Existe
CheckError "empresa que responde Null", 94, "Cuentas::Existe", "Uso no válido de Null"
company.Codigo = 91
r = account.Existe
CheckError "Existe sin conexion", 3709, "Cuentas::Existe", _
  "No se puede usar la conexión para realizar esta operación. Está cerrada o no es válida en este contexto."
r = account.Insertar
CheckError "Insertar sin conexion", 91, "Cuentas::Insertar", _
  "Variable de objeto o bloque With no establecido"

' The component's own check, before any statement.
account.Cuenta = ""
r = account.Modificar
CheckError "Modificar sin cuenta", 1000, "Cuentas::Modificar", _
  "No se ha especificado el numero de cuenta"

' clsDest must be an account of this component.
Set group = CreateObject("Vornexa.clsGrupo")
r = account.Cargar_Primero(group)
caught = LastError()
Check "clsDest de otra clase", caught(0) <> 0, True

Check "grupo nuevo", group.Codigo, CInt(0)
group.Nombre = "Clientes"
Check "grupo Nombre", group.Nombre, "Clientes"
