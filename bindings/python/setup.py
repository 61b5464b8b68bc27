"""The wheel carries the library of one platform: it is built as a binary
distribution (files at the wheel's root, installed into platlib) and tagged
py3-none-<platform>, for any Python 3, since no extension module is in it."""

from setuptools import Distribution, setup
from wheel.bdist_wheel import bdist_wheel


class LibraryDistribution(Distribution):
    def has_ext_modules(self):
        return True


class PlatformWheel(bdist_wheel):
    def get_tag(self):
        return ("py3", "none", super().get_tag()[2])


setup(distclass=LibraryDistribution, cmdclass={"bdist_wheel": PlatformWheel})
