"""Dispatch under the module name the Windows extensions give it."""

from .._zidevuv10 import CDispatch, Dispatch

__all__ = ["CDispatch", "Dispatch"]
