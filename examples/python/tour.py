"""A tour of the zidevuv10 package, run in an empty folder: the settings and
addressed classes created by name, a Python window whose placement the
library saves and restores, an error read by number, the win32api profile
functions and the Profile mapping view."""

import zidevuv10
from zidevuv10 import win32api

# The settings class, pointed at a file of the current folder.
settings = zidevuv10.Dispatch("VEZEzoro10.clsOrviInifINIFilesObjC")
settings.FullPath = ".\\tour.ini"  # a bare name would live in C:\WINDOWS
settings.SectionName = "General"
print("PutString:", settings.PutString("User", "Ada"))
print("PutInt:", settings.PutInt("Runs", 3))
print("PutTF:", settings.PutTF("Sound", -1))
print("GetString:", settings.GetString("User", ""), "GetInt:", settings.GetInt("Runs", 0),
      "GetTF:", settings.GetTF("Sound", 0))
count, sections = settings.GetSectionsEx([])
print("sections:", count, sections)

# An error, read by number.
try:
    settings.PutInt("Runs", 40000)
except zidevuv10.com_error as e:
    print("error:", e.number, e.description)


# The addressed class saving and restoring a Python window's placement.
class Window:
    def __init__(self, left, top, width, height):
        self.Left, self.Top, self.Width, self.Height = left, top, width, height
        self.WindowState = 0

    def Move(self, left, top=None, width=None, height=None):
        self.Left, self.Top = left, top
        self.Width, self.Height = width, height


entry = zidevuv10.Dispatch("VEZEzoro10.clsOrviInifINIFilesObjB")
entry.Path = settings.FullPath
entry.Section = "Placement"
entry.SaveFormPosition(Window(300, 450, 9000, 6000))
entry.Key = "Width"
print("saved width:", entry.Value)
entry.Value = 30000  # wider than the screen
window = Window(0, 0, 100, 100)
entry.LoadFormPosition(window)
print("restored:", window.Left, window.Top, window.Width, window.Height)

# The profile functions under the names Windows Python code uses.
path = settings.FullPath
win32api.WriteProfileVal("Paths", "Home", "C:\\Users\\Ada", path)
win32api.WriteProfileVal("Paths", "Depth", 2, path)
print("GetProfileVal:", win32api.GetProfileVal("Paths", "Home", "", path),
      win32api.GetProfileVal("Paths", "Depth", 0, path) + 1)
print("GetProfileSection:", win32api.GetProfileSection("Paths", path))

# The mapping view.
profile = zidevuv10.Profile(path)
profile["Colours"] = {"Background": "navy", "Depth": 24}
profile["Colours"]["Accent"] = "gold"
del profile["Colours"]["Depth"]
print("Colours:", dict(profile["Colours"].items()))
del profile["Placement"]
print("sections:", profile.sections())
with open("tour.ini", encoding="utf-8") as file:
    print(file.read(), end="")
