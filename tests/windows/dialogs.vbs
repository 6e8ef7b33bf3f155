' The editing step's Win32 dialogs, driven from outside: run with view
' messages on while scripts/windows.sh answers each window with xdotool in
' the order below (it prints a line before each write so the driver and the
' log agree). Ends with "N passed, N failed" like the other clients.
Option Explicit
Dim passed, failed : passed = 0 : failed = 0
Sub Check(ok, what)
  If Err.Number <> 0 Then
    WScript.Echo "FAILED: " & what & " (error " & Hex(Err.Number) & ": " & Err.Description & ")"
    Err.Clear
    failed = failed + 1
  ElseIf ok Then
    passed = passed + 1
  Else
    WScript.Echo "FAILED: " & what
    failed = failed + 1
  End If
End Sub

Dim js : Set js = CreateObject("MSScriptControl.ScriptControl")
js.Language = "JScript"
js.AddCode "function bytes(h) { var e = new ActiveXObject('Msxml2.DOMDocument.3.0').createElement('b');" & _
           " e.dataType = 'bin.hex'; e.text = h; return e.nodeTypedValue; }" & _
           "function hex(b) { var e = new ActiveXObject('Msxml2.DOMDocument.3.0').createElement('b');" & _
           " e.dataType = 'bin.hex'; e.nodeTypedValue = b; return e.text.toUpperCase(); }"

On Error Resume Next
Const pid = "0000000000000000"
Dim ctl : Set ctl = CreateObject("VORNFMT.VornFmtCtrl.1")
Dim el : Set el = ctl.GetItem1("SNVT_switch", pid, 0)
Dim data, ok, text
data = js.Run("bytes", "C801")

' "Wrong data.", then the number dialog, where the driver types 50 and OK.
WScript.Echo "write: wrong text, corrected to 50"
ok = el.WriteVT(2, data, "abc", 0)
Check ok And js.Run("hex", data) = "6401", "the corrected text 50 is written as 64"

' "Data exceeds bounds.", then the number dialog, which the driver cancels.
WScript.Echo "write: out of bounds, cancelled"
ok = el.WriteVT(2, data, "200", 0)
Check Not ok And js.Run("hex", data) = "6401", "a cancelled correction answers false and keeps the bytes"

' GetValueVT opens the number dialog without a message; the driver types 12.5.
WScript.Echo "edit: GetValueVT, 12.5"
text = "100"
ok = el.GetValueVT(8, text, 0)
Check ok And text = "12.5", "GetValueVT answers the text typed in the dialog"

' GetValueVT on an enumeration: the dialog chooses the first member that
' begins with the text, OC_OCCUPIED, and the driver takes OK.
Dim occ : Set occ = ctl.GetItem1("SNVT_occupancy", pid, 0)
WScript.Echo "edit: GetValueVT, enumeration OC_OCC"
text = "oc_occ"
ok = occ.GetValueVT(8, text, -1)
Check ok And text = "OC_OCCUPIED", "the dialog chooses the member the text begins"

Dim source, line, written : written = 0
Set source = CreateObject("Scripting.FileSystemObject").OpenTextFile(WScript.ScriptFullName)
Do Until source.AtEndOfStream
  line = source.ReadLine
  If Left(line, 6) = "Check " Then written = written + 1
Loop
source.Close
If passed + failed <> written Then
  WScript.Echo "FAILED: " & (written - passed - failed) & " checks were skipped by errors"
  failed = failed + written - passed - failed
End If
WScript.Echo passed & " passed, " & failed & " failed"
If failed > 0 Then WScript.Quit 1
