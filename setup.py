"""pip's build of the Python package zidevuv10 (see pyproject.toml): the
extension module _zidevuv10 is built by the project's CMake for the
interpreter running pip, and put into the package with the shared library
it links (zidevuv10.so.1), which the module finds beside itself.

ZIDEVUV10_CMAKE_BUILD_DIR names a build folder already configured for this
interpreter to build in (CI reuses its main build that way); without it the
build goes to build/pip-<interpreter tag>."""

import os
import re
import shutil
import subprocess
import sys
import sysconfig
import tempfile

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext
from setuptools.command.install import install

ROOT = os.path.dirname(os.path.abspath(__file__))


def project_version():
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as file:
        found = re.search(r"project\(zidevuv10 VERSION ([0-9.]+)", file.read())
    if not found:
        raise RuntimeError("CMakeLists.txt: no project(zidevuv10 VERSION ...)")
    return found.group(1)


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = os.environ.get("ZIDEVUV10_CMAKE_BUILD_DIR")
        if build:
            build = os.path.abspath(build)
        else:
            tag = sys.implementation.cache_tag
            build = os.path.join(ROOT, "build", "pip-" + tag)
            configure = ["cmake", "-S", ROOT, "-B", build,
                         "-DCMAKE_BUILD_TYPE=Release",
                         "-DPython3_EXECUTABLE=" + sys.executable,
                         "-DZIDEVUV10_BUILD_TESTS=OFF", "-DZIDEVUV10_BUILD_BENCH=OFF"]
            if shutil.which("ccache"):
                configure += ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache",
                              "-DCMAKE_C_COMPILER_LAUNCHER=ccache"]
            subprocess.run(configure, check=True)
        jobs = str(os.cpu_count() or 1)
        subprocess.run(["cmake", "--build", build, "-j", jobs, "--target", "zidevuv10_python"],
                       check=True)
        # The install step gives the module its installed RPATH, which
        # starts with $ORIGIN.
        with tempfile.TemporaryDirectory() as stage:
            subprocess.run(["cmake", "--install", build, "--component", "python_module",
                            "--prefix", stage], check=True)
            module = self._one(stage, "_zidevuv10" + sysconfig.get_config_var("EXT_SUFFIX"))
            library = self._one(stage, "zidevuv10.so.1")
            target = self.get_ext_fullpath(ext.name)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            shutil.copyfile(module, target)
            shutil.copyfile(library, os.path.join(os.path.dirname(target), "zidevuv10.so.1"))

    @staticmethod
    def _one(folder, name):
        found = [os.path.join(d, name) for d, _, files in os.walk(folder) if name in files]
        if len(found) != 1:
            raise RuntimeError(f"{name}: {len(found)} copies installed, expected one")
        return os.path.realpath(found[0])


class Install(install):
    """Debian's setuptools asks the install command for install_layout and
    prefix_option, options only the distutils of Debian's own interpreters
    have; for any other interpreter they are None, the standard layout."""

    def initialize_options(self):
        super().initialize_options()
        for option in ("install_layout", "prefix_option"):
            if not hasattr(self, option):
                setattr(self, option, None)


setup(
    version=project_version(),
    ext_modules=[Extension("zidevuv10._zidevuv10", sources=[])],
    cmdclass={"build_ext": CMakeBuild, "install": Install},
    # setuptools' own work folder, inside the ignored build folder.
    options={"build": {"build_base": os.path.join("build", "pip-setuptools")}},
)
