' format.vbs: run with  cscript //nologo format.vbs
Set js = CreateObject("MSScriptControl.ScriptControl") : js.Language = "JScript"
js.AddCode "function bytes(hex) { var e = new ActiveXObject('Msxml2.DOMDocument.3.0').createElement('b');" & _
           " e.dataType = 'bin.hex'; e.text = hex; return e.nodeTypedValue; }"   ' VBScript has no byte arrays
Set control = CreateObject("VORNFMT.VornFmtCtrl.1")
Set temperature = control.GetItem1("SNVT_temp_p", "0000000000000000", 0)
data = js.Run("bytes", "0A28")
If temperature.FormatVT(2, data, 8, text, -1) Then WScript.Echo "SNVT_temp_p 0A28: " & text
If temperature.GetBounds(-1, low, high) Then WScript.Echo "from " & low & " to " & high
If temperature.WriteVT(2, data, "21.5", -1) And temperature.FormatVT(2, data, 8, text, -1) Then WScript.Echo "now " & text
