' Shared by every script (the runner puts it first): counting checks and
' failures, and a company object written as a script class.
'
' Scripts run under On Error Resume Next, so that an operation's error can be
' checked right after the call; an error no check expected is reported by
' the next check, or by the end of the script.
Option Explicit
On Error Resume Next

Dim checks, failures
checks = 0
failures = 0

Sub Fail(what, detail)
  failures = failures + 1
  WScript.Echo "FALLO " & what & ": " & detail
End Sub

' The error left by the last call, as Array(number, source, description);
' clears it.
Function LastError()
  LastError = Array(Err.Number, Err.Source, Err.Description)
  Err.Clear
End Function

' Value and Automation type must both match (CInt, CLng, CCur, True...).
' An error left since the last check is one no check expected.
Sub Check(what, actual, expected)
  If Err.Number <> 0 Then
    Fail "error inesperado antes de " & what, Err.Number & " | " & Err.Source & " | " & Err.Description
    Err.Clear
  End If
  checks = checks + 1
  If TypeName(actual) <> TypeName(expected) Then
    Fail what, "tipo " & TypeName(actual) & ", se esperaba " & TypeName(expected)
  ElseIf actual <> expected Then
    Fail what, "[" & actual & "], se esperaba [" & expected & "]"
  End If
End Sub

' The error the last call raised, all three parts.
Sub CheckError(what, number, source, description)
  Dim raised
  raised = LastError()
  checks = checks + 1
  If raised(0) <> number Or raised(1) <> source Or raised(2) <> description Then
    Fail what, raised(0) & " | " & raised(1) & " | " & raised(2) & _
      " -- se esperaba " & number & " | " & source & " | " & description
  End If
End Sub

' The questions the component asks of the company: company 91, one year,
' 2024 (Falla makes asking for it fail), levels of 1, 2, 3, 4, 5 and 8 digits.
Class Empresa
  Public Falla
  Public Codigo
  Public DigitosCuenta
  Public DigitosNivel
  Public Ejercicios
  Public MultiEjercicio
  Public UltimoEjercicio

  Private Sub Class_Initialize()
    Codigo = 91
    DigitosCuenta = 8
    DigitosNivel = Array(1, 2, 3, 4, 5, 8)
    Ejercicios = Array(2024)
    MultiEjercicio = 0
    UltimoEjercicio = 0
  End Sub

  Public Function Ejercicio()
    If Falla Then Err.Raise 1234, "Quillet", "Empresa sin ejercicio activo"
    Ejercicio = 2024
  End Function
End Class

Dim caught
