' Last in every script: the line the runner looks for, and the exit status.
WScript.Echo "RESUMEN: " & checks & " comprobaciones, " & failures & " fallos"
WScript.Quit failures
