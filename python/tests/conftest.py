"""Every test runs in a folder of its own, with drive C and the component
registry there too, so no test touches the user's files."""

import pytest


@pytest.fixture(autouse=True)
def private_folders(tmp_path, monkeypatch):
    monkeypatch.setenv("ZIDEVUV10_DRIVE_C", str(tmp_path / "drive_c"))
    monkeypatch.setenv("ZIDEVUV10_REGISTRY", str(tmp_path / "registry.ini"))
    monkeypatch.chdir(tmp_path)
    return tmp_path
