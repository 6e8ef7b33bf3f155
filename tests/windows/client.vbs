' A VBScript client of the registered control module, run by cscript.
' cscript hides script errors, so every check is counted and the script
' ends with "N passed, N failed" (and exit code 1 when any failed).
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

' VBScript makes no byte arrays itself; the XML document's bin.hex type
' does, through JScript in a script control (as VBScript cannot create the
' document directly under every host).
Dim js : Set js = CreateObject("MSScriptControl.ScriptControl")
js.Language = "JScript"
js.AddCode "function bytes(h) { var e = new ActiveXObject('Msxml2.DOMDocument.3.0').createElement('b');" & _
           " e.dataType = 'bin.hex'; e.text = h; return e.nodeTypedValue; }" & _
           "function hex(b) { var e = new ActiveXObject('Msxml2.DOMDocument.3.0').createElement('b');" & _
           " e.dataType = 'bin.hex'; e.nodeTypedValue = b; return e.text.toUpperCase(); }"

On Error Resume Next
Const pid = "0000000000000000"
Dim ctl : Set ctl = CreateObject("VORNFMT.VornFmtCtrl.1")
Check IsObject(ctl), "CreateObject by the ProgID"
Check ctl.Version = "", "Version is an empty text"
Check ctl.TypesCount(pid, 0, 0) = 590, "TypesCount counts the standard types"

Dim el : Set el = ctl.GetItem1("SNVT_switch", pid, 0)
Check el.SubfieldsCount = 2, "SNVT_switch has two subfields"
Check el.Name(0) = "value" And el.Name(1) = "state", "the subfields are value and state"
Check el.Length(-1) = 2, "SNVT_switch is two bytes long"

Dim data, text, ok
data = js.Run("bytes", "C801")
Check VarType(data) = 8209, "the data are an array of bytes"
ok = el.FormatVT(2, data, 8, text, -1)
Check ok And text = "100 1", "FormatVT of C8 01 is 100 1"
ok = el.FormatVT(2, data, 5, text, 0)
Check ok And text = 100, "FormatVT of subfield 0 as a number is 100"
ok = el.WriteVT(2, data, "50.0 1", -1)
Check ok And js.Run("hex", data) = "6401", "WriteVT of 50.0 1 writes 64 01"
ok = el.WriteVT(2, data, 0, 1)
Check ok And js.Run("hex", data) = "6400", "WriteVT of a number into subfield 1"
ok = el.WriteVT(2, data, "1x", -1)
Check Not ok And js.Run("hex", data) = "6400", "WriteVT of bad text answers false and keeps the bytes"

Dim low, high, index
Check el.GetBounds(0, low, high) And low = 0 And high = 100, "GetBounds of value is 0 to 100"
Check el.GetBounds(1, low, high) And low = -1 And high = 1, "GetBounds of state is -1 to 1"
Check el.GetSubIndexByName("state", index) And index = 1, "GetSubIndexByName finds state"

Check ctl.LocaleId = "enu", "LocaleId starts as enu"
ctl.LocaleId = "deu"
Check ctl.LocaleId = "deu", "LocaleId switches to deu"
ctl.LocaleId = "enu"
Check ctl.LocaleId = "enu", "LocaleId switches back"

Check ctl.GetItem1("SNVT_nothing", pid, 0) Is Nothing, "an unknown type gives Nothing"
Check ctl.GetItem2(105, pid, 0).Name(-1) = "SNVT_temp_p", "GetItem2 of 105 is SNVT_temp_p"
Check ctl.GetItem3(162, pid, 0).Name(-1) = "SCPTdefScale", "GetItem3 of 162 is SCPTdefScale"

' A statement that raises an error is skipped whole under On Error Resume
' Next, its Check with it: every Check line of this file must have run.
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
