from .. import CDispatch as CDispatch, Dispatch as Dispatch

__all__ = ["CDispatch", "Dispatch"]
