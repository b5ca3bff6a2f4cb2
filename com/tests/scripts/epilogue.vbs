' Last in every script: an error no check took, the line the runner looks
' for, and the exit status. (Written out here, calling nothing that could
' itself fail unseen.)
If Err.Number <> 0 Then
  failures = failures + 1
  WScript.Echo "FALLO error sin comprobar: " & Err.Number & " | " & Err.Source & " | " & Err.Description
End If
WScript.Echo "RESUMEN: " & checks & " comprobaciones, " & failures & " fallos"
WScript.Quit failures
