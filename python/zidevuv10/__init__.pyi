from typing import Any, Iterator, Optional, Tuple

from . import win32api as win32api
from .profile import Profile as Profile, Section as Section

__version__: str

class CDispatch:
    """A library object late-bound: its members are attributes, matched without regard to case."""
    def __getattr__(self, name: str) -> Any: ...
    def __setattr__(self, name: str, value: Any) -> None: ...
    def __dir__(self) -> list[str]: ...

class Collection(CDispatch):
    """A Collection: Count, Item(i), len() and iteration over its items."""
    @property
    def Count(self) -> int: ...
    def __len__(self) -> int: ...
    def __iter__(self) -> Iterator[Any]: ...

def Dispatch(name: str) -> CDispatch:
    """A new object of the class named by ProgID or class id ({...} form)."""
    ...

class com_error(Exception):
    """A member of the library failed; args is (hresult, strerror, excepinfo, argerror)."""
    DISP_E_EXCEPTION: int
    hresult: int
    strerror: str
    excepinfo: Optional[Tuple[int, str, str, Optional[str], int, int]]
    argerror: Optional[int]
    number: int
    description: str
    source: str
    def __init__(self, *args: Any) -> None: ...

__all__ = ["CDispatch", "Collection", "Dispatch", "Profile", "com_error", "win32api",
           "__version__"]
