' The object model: a file object, a section and a key, each holding its
' own names and values in memory; the two containers, which keep nothing;
' and the three classes without members.
Dim file, sections, section, keys, key
Set file = CreateObject("VEZEzoro10.clsOrviInifINIFilesObjA")
WScript.Echo "a new file object's sections:", TypeName(file.Sections)
Set sections = CreateObject("VEZEzoro10.clsOrviInifSectionsA")
Set file.Sections = sections
WScript.Echo "after Set:", TypeName(file.Sections), file.Sections Is sections
Set section = CreateObject("VEZEzoro10.clsOrviInifSectionA")
section.NameLong = "Network"
Set keys = CreateObject("VEZEzoro10.clsOrviInifKeysA")
Set section.Keys = keys
Set key = CreateObject("VEZEzoro10.clsOrviInifKeyA")
key.NameLong = "Host"
key.Value = "example.org"
WScript.Echo section.NameLong & "." & key.NameLong & " = " & key.Value
' The containers answer without keeping anything.
WScript.Echo "Add:", sections.Add, "Count:", sections.Count, "Item:", TypeName(sections.Item(1))
keys.Clear
keys.Remove
WScript.Echo "keys:", keys.Count
WScript.Echo TypeName(CreateObject("VEZEzoro10.clsOrviInifGeneralA")), _
      TypeName(CreateObject("VEZEzoro10.clsOrviInifAdvancedA")), _
      TypeName(CreateObject("VEZEzoro10.clsOrviInifHeaderA"))
' A member the class does not have, with the error handled.
On Error Resume Next
key.Colour = "red"
WScript.Echo "key.Colour:", Err.Number, Err.Description, "(" & Err.Source & ")"
