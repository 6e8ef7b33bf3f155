// A JScript client of the registered control module, run by cscript.
// JScript passes every argument by value, so the members that answer
// through an argument (FormatVT's text, GetBounds, GetSubIndexByName) and
// the bytes WriteVT writes into the caller's array cannot reach it: it
// checks what a JScript host can see. Ends with "N passed, N failed".
var passed = 0, failed = 0;
function check(what, test) {
  var ok = false;
  try { ok = test(); } catch (e) { WScript.Echo("FAILED: " + what + " (" + e.message + " " + (e.number >>> 0).toString(16) + ")"); failed++; return; }
  if (ok) passed++; else { WScript.Echo("FAILED: " + what); failed++; }
}
function bytes(h) {
  var e = new ActiveXObject("Msxml2.DOMDocument.3.0").createElement("b");
  e.dataType = "bin.hex"; e.text = h; return e.nodeTypedValue;
}

var pid = "0000000000000000";
var ctl = null, el = null;
check("new ActiveXObject by the ProgID", function () { ctl = new ActiveXObject("VORNFMT.VornFmtCtrl.1"); return ctl != null; });
check("Version is an empty text", function () { return ctl.Version === ""; });
check("TypesCount counts the standard types", function () { return ctl.TypesCount(pid, 0, 0) === 590; });
check("GetItem1 gives SNVT_switch", function () { el = ctl.GetItem1("SNVT_switch", pid, 0); return el != null; });
check("SNVT_switch has two subfields", function () { return el.SubfieldsCount === 2; });
check("the subfields are value and state", function () { return el.Name(0) === "value" && el.Name(1) === "state"; });
check("SNVT_switch is network variable type 95", function () { return el.Index === 95; });
check("Length of the whole type is 2", function () { return el.Length(-1) === 2; });
check("WriteVT takes 50.0 1", function () { return el.WriteVT(2, bytes("C801"), "50.0 1", -1) === true; });
check("WriteVT refuses 1x", function () { return el.WriteVT(2, bytes("C801"), "1x", -1) === false; });
check("WriteVT refuses a value beyond the bounds", function () { return el.WriteVT(2, bytes("C801"), 1e9, 0) === false; });
check("WriteVT refuses data that are no byte array", function () { return el.WriteVT(2, "C801", "50.0 1", -1) === false; });
check("LocaleId starts as enu", function () { return ctl.LocaleId === "enu"; });
check("LocaleId switches to deu", function () { ctl.LocaleId = "deu"; return ctl.LocaleId === "deu"; });
check("LocaleId switches back", function () { ctl.LocaleId = "enu"; return ctl.LocaleId === "enu"; });
check("an unknown type gives null", function () { return ctl.GetItem1("SNVT_nothing", pid, 0) === null; });
check("GetItem2 of 105 is SNVT_temp_p", function () { return ctl.GetItem2(105, pid, 0).Name(-1) === "SNVT_temp_p"; });
check("GetItem3 of 162 is SCPTdefScale", function () { return ctl.GetItem3(162, pid, 0).Name(-1) === "SCPTdefScale"; });
check("an unknown member throws", function () { try { ctl.NoSuchMember(); } catch (e) { return true; } return false; });

WScript.Echo(passed + " passed, " + failed + " failed");
WScript.Quit(failed > 0 ? 1 : 0);
