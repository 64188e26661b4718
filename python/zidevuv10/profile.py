"""Profile: one initialization file as a mapping of sections, each a live
mapping of its entries. Nothing is cached: every access is one call of the
library's store, which reads the file as it is now and replaces it
atomically on every write, so processes sharing the file see each other's
writes and lose none."""

import os
from collections.abc import MutableMapping

from . import _zidevuv10, win32api


def _first_of_each(names):
    """Names in order, a name repeated in other case left out: with
    duplicate keys the first one wins, as in the store's lookups."""
    seen = set()
    out = []
    for name in names:
        folded = name.casefold()
        if name and folded not in seen:
            seen.add(folded)
            out.append(name)
    return out


def _unquoted(value):
    """A listed value as a lookup gives it: one pair of like quotes removed."""
    if len(value) >= 2 and value[0] == value[-1] and value[0] in "\"'":
        return value[1:-1]
    return value


def _entries(mapping):
    entries = []
    for key, value in mapping.items():
        if not isinstance(key, str) or not key or "=" in key:
            raise ValueError(f"bad key {key!r}: a key is a non-empty str without '='")
        if isinstance(value, int):
            value = str(int(value))  # True as 1, as WriteProfileVal writes it
        elif not isinstance(value, str):
            raise TypeError(f"value of {key!r}: a value is a str or an int")
        entries.append(f"{key}={value}")
    return entries


class Section(MutableMapping):
    """The entries of one section of a file, read and written live."""

    def __init__(self, path, name):
        """The section `name` of the file at `path`."""
        self._path = path
        self._name = name

    @property
    def name(self):
        """The section's name as given."""
        return self._name

    def __getitem__(self, key):
        """The key's value as a lookup reads it (quotes removed); KeyError when missing."""
        value = _zidevuv10._get_value(self._name, key, self._path)
        if value is None:
            raise KeyError(key)
        return value

    def __setitem__(self, key, value):
        """Writes the key's value (a str, or an int as its decimal text, True as 1)."""
        if value is None:
            raise TypeError("a value is a str or an int; use del to remove an entry")
        win32api.WriteProfileVal(self._name, key, value, self._path)

    def __delitem__(self, key):
        """Deletes every line of the key; KeyError when missing."""
        if key not in self:
            raise KeyError(key)
        win32api.WriteProfileVal(self._name, key, None, self._path)

    def __contains__(self, key):
        """Whether the section has the key (compared without regard to case)."""
        return isinstance(key, str) and _zidevuv10._get_value(self._name, key, self._path) is not None

    def keys(self):
        """The key names in file order, each once (the first spelling)."""
        return _first_of_each(win32api.GetProfileVal(self._name, None, "", self._path).split("\0"))

    def items(self):
        """The entries as (key, value) pairs, all from one read of the file."""
        entries = {}
        for line in win32api.GetProfileSection(self._name, self._path):
            key, equals, value = line.partition("=")
            if equals and key and key.casefold() not in entries:
                entries[key.casefold()] = (key, _unquoted(value))
        return list(entries.values())

    def values(self):
        """The values, in the order of keys()."""
        return [value for _, value in self.items()]

    def __iter__(self):
        """Iterates over keys()."""
        return iter(self.keys())

    def __len__(self):
        """The number of distinct keys."""
        return len(self.keys())

    def __repr__(self):
        """<Section [name] of path>."""
        return f"<Section [{self._name}] of {self._path}>"


def _sync(path, flags):
    """Syncs the file or folder at path to disk; OSError when that fails."""
    fd = os.open(path, flags)
    try:
        os.fsync(fd)
    finally:
        os.close(fd)


def _store_name(path):
    """The name the store is given for a Profile's path. A bare name (no
    folder part, no drive) is a file of the current folder, as open() has
    it; the store itself puts it in the Windows directory, as the
    Windows-compatible functions (win32api, Dispatch) must."""
    if not path or "/" in path or "\\" in path or (len(path) >= 2 and path[1] == ":"):
        return path
    return "./" + path


class Profile(MutableMapping):
    """An initialization file as a mapping of its sections: profile[name] is
    a live Section, profile[name] = {...} replaces the whole section in one
    write, del profile[name] removes it. The path is a host path (str,
    bytes or os.PathLike; relative ones start in the current folder, as
    with open()) or a Windows path ("C:\\dir\\app.ini", ".\\app.ini")."""

    def __init__(self, path):
        """The file at `path`: a host path (str, bytes or os.PathLike; relative to the
        current folder), or a Windows path such as C:\\dir\\app.ini or .\\app.ini."""
        given = os.fsdecode(path)
        self._given = given
        self._path = _store_name(given)

    @property
    def path(self):
        """The path as given."""
        return self._given

    @property
    def windows_path(self):
        """The file's Windows form, as the classes and profile functions see it."""
        path = _zidevuv10._windows_path(self._path)
        if path is None:
            raise ValueError(f"{self._path!r} names no file")
        return path

    def flush(self):
        """Makes every write of the file so far durable: the file and its
        folder synced, so that a power loss cannot bring back an older
        version. A write replaces the file atomically (a crash leaves the old
        or the new one) and leaves this sync to a flush, as the library's
        own flush does; OSError when a sync fails."""
        host = _zidevuv10._host_path(self._path)
        if host is None:
            raise ValueError(f"{self._path!r} names no file")
        target = os.path.realpath(host)
        try:
            _sync(target, os.O_RDONLY)
        except FileNotFoundError:
            pass  # no file: its folder still holds its removal
        _sync(os.path.dirname(target), os.O_RDONLY | os.O_DIRECTORY)

    def sections(self):
        """The section names in file order (duplicates too)."""
        return _zidevuv10._section_names(self._path)

    def __contains__(self, name):
        """Whether the file has the section (compared without regard to case)."""
        if not isinstance(name, str):
            return False
        folded = name.casefold()
        return any(section.casefold() == folded for section in self.sections())

    def __getitem__(self, name):
        """The live Section; KeyError when the file has no such section."""
        if name not in self:
            raise KeyError(name)
        return Section(self._path, name)

    def __setitem__(self, name, mapping):
        """Replaces the section's entries with the mapping's, in one atomic write."""
        win32api.WriteProfileSection(name, _entries(mapping), self._path)

    def __delitem__(self, name):
        """Deletes the section; KeyError when missing."""
        if name not in self:
            raise KeyError(name)
        win32api.WriteProfileVal(name, None, None, self._path)

    def __iter__(self):
        """Iterates over sections()."""
        return iter(self.sections())

    def __len__(self):
        """The number of section headers."""
        return len(self.sections())

    def __repr__(self):
        """<Profile path>."""
        return f"<Profile {self._given}>"
