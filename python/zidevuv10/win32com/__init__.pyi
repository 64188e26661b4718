from . import client as client
