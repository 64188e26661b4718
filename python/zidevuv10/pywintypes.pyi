from . import com_error as com_error
from .win32api import error as error

__all__ = ["com_error", "error"]
