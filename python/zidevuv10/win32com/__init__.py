"""The module path the Windows extensions give their late-bound client
(zidevuv10.win32com.client.Dispatch), so that ported code needs only a
changed import."""

from . import client
