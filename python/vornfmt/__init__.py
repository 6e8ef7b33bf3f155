"""LonWorks network-variable and configuration-property data to text and back.

    >>> import vornfmt
    >>> catalog = vornfmt.Catalog()              # the shipped standard catalog
    >>> temp = catalog.type_element("SNVT_temp_p")
    >>> temp.format(bytes.fromhex("0A28"))
    '26'

The engine is the process's one: one catalog folder is open at a time.
"""
from ._vornfmt import Catalog, TypeElement, __version__

# VARTYPE codes for format(vt=...): the type of number wanted.
VT_I2, VT_I4, VT_R4, VT_R8, VT_BSTR, VT_BOOL = 2, 3, 4, 5, 8, 11
VT_I1, VT_UI1, VT_UI2, VT_UI4 = 16, 17, 18, 19

__all__ = ["Catalog", "TypeElement", "__version__", "VT_I2", "VT_I4", "VT_R4", "VT_R8", "VT_BSTR", "VT_BOOL",
           "VT_I1", "VT_UI1", "VT_UI2", "VT_UI4"]
