# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
"""Function codes, parameter ids and the checks of analyse()'s settings.

The numbers come from the library's public header through the extension
module, so that they are declared in one place only.
"""

import enum
import numbers

from . import _quadrel

Function = enum.IntEnum("Function", _quadrel.FUNCTIONS, module="quadrel")
Function.__doc__ = """Analysis function codes that may stand in a pipe.

SKEW measures the skew angle (Layout.skew); LINES_AND_TABLES finds rules and
tables; LINE_REMOVAL removes rules before text is sought; INVERSE_TEXT finds
white text on dark bands; PICTURES finds pictures; TEXT_BLOCKS finds text.
"""

Param = enum.IntEnum("Param", _quadrel.PARAMETERS, module="quadrel")
Param.__doc__ = """Parameter ids of the analysis (see la_api.h for units and defaults).

PIPE and SKEW_ANGLE are the library's own and cannot be set through params.
"""

_MAX_PIPE = 20
_INT32 = (-(2**31), 2**31 - 1)
_MAX_DPI = 1000000
_FIXED = {Param.PIPE, Param.SKEW_ANGLE}


def _codes_text(values):
    values = [str(int(v)) for v in values]
    return ", ".join(values[:-1]) + " or " + values[-1]


def check_pipe(pipe):
    """The pipe as a list of codes, None for the default pipe; ValueError otherwise."""
    if pipe is None:
        return None
    if isinstance(pipe, (str, bytes)) or not hasattr(pipe, "__iter__"):
        raise TypeError(f"pipe must be a sequence of function codes, not {type(pipe).__name__}")
    codes = list(pipe)
    if not codes:
        raise ValueError("pipe is empty; pass pipe=None for the default pipe")
    if len(codes) > _MAX_PIPE:
        raise ValueError(f"pipe holds {len(codes)} codes; a pipe holds at most {_MAX_PIPE}")
    for code in codes:
        if isinstance(code, bool) or not isinstance(code, numbers.Integral) or \
                int(code) not in Function._value2member_map_:
            raise ValueError(f"pipe: {code!r} is not a function code "
                             f"({_codes_text(list(Function))})")
    return [int(code) for code in codes]


def parameter_id(key):
    """The id of a params key: a Param, its name (any case) or the number."""
    if isinstance(key, str):
        try:
            member = Param[key.strip().upper()]
        except KeyError:
            raise ValueError(f"params: {key!r} is not a parameter name") from None
    elif isinstance(key, numbers.Integral) and not isinstance(key, bool):
        if int(key) not in Param._value2member_map_:
            raise ValueError(f"params: {key!r} is not a parameter id")
        member = Param(int(key))
    else:
        raise TypeError(f"params: keys are parameter ids or names, not {type(key).__name__}")
    if member in _FIXED:
        raise ValueError(f"params: {member.name} ({int(member)}) cannot be set")
    return int(member)


def check_params(params):
    """params as a list of (id, value) pairs in the mapping's order."""
    if params is None:
        return []
    if not hasattr(params, "items"):
        raise TypeError(f"params must be a mapping of parameter to value, "
                        f"not {type(params).__name__}")
    settings = []
    for key, value in params.items():
        pid = parameter_id(key)
        if isinstance(value, bool) or not isinstance(value, numbers.Integral):
            raise TypeError(f"params: the value of {Param(pid).name} must be an integer, "
                            f"not {type(value).__name__}")
        if not _INT32[0] <= int(value) <= _INT32[1]:
            raise ValueError(f"params: {value} is not a 32-bit integer ({Param(pid).name})")
        settings.append((pid, int(value)))
    return settings


def check_dpi(dpi):
    """(x, y) dots per inch from a number or a pair; (0, 0) for None."""
    if dpi is None:
        return (0, 0)
    pair = (dpi, dpi) if isinstance(dpi, numbers.Real) else tuple(dpi)
    if len(pair) != 2 or not all(isinstance(v, numbers.Real) for v in pair):
        raise TypeError("dpi must be a number or an (x, y) pair of numbers")
    rounded = tuple(int(round(v)) for v in pair)
    if not all(1 <= v <= _MAX_DPI for v in rounded):
        raise ValueError(f"dpi must lie between 1 and {_MAX_DPI}, not {dpi!r}")
    return rounded
