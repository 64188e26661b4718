"""Profile functions as Windows Python code calls them (GetProfileVal,
WriteProfileVal, GetProfileSection, WriteProfileSection); without iniName
they act on WIN.INI. A failed write raises error."""

from ._zidevuv10 import win32api as _api

GetProfileVal = _api.GetProfileVal
WriteProfileVal = _api.WriteProfileVal
GetProfileSection = _api.GetProfileSection
WriteProfileSection = _api.WriteProfileSection
error = _api.error
