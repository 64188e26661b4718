"""The error types under the module name the Windows extensions give them,
so that ported code needs only a changed import: com_error (a failing
member of a class) and error (a failing profile function)."""

from ._zidevuv10 import com_error
from .win32api import error

__all__ = ["com_error", "error"]
