"""The zidevuv10 library for Python: its classes late-bound through
Dispatch, its errors as com_error, its profile functions in win32api under
the names Windows Python code uses, and Profile, a mapping view of one
initialization file. pywintypes and win32com.client hold the same names
under the module paths of the Windows extensions."""

from ._zidevuv10 import CDispatch, Collection, Dispatch, __version__, com_error
from . import win32api
from .profile import Profile
from . import pywintypes, win32com

__all__ = ["CDispatch", "Collection", "Dispatch", "Profile", "com_error", "win32api",
           "__version__"]
