"""Members of the library's classes as Python functions: a method (or a
property with parameters) read as an attribute becomes a function whose
signature and one-line doc come from the class's type information, so that
inspect.signature and help() show its parameters."""

import inspect

# The Python types the library's parameter and result types convert to.
_TYPES = {"Void": "None", "Int16": "int", "Int32": "int", "Single": "float", "Double": "float",
          "Bool": "bool", "Text": "str", "Variant": "Any", "Object": "CDispatch",
          "TextArray": "list[str]"}
_KINDS = {"Method": "method", "PropertyGet": "property"}


def member_function(call, name, params, result, kind, owner):
    """A function calling `call`, named `name`, with the signature of
    `params` ((name, type, optional, by_reference) each) and `result`."""

    def member(*args, **kwargs):
        return call(*args, **kwargs)

    parameters = []
    by_reference = []
    for index, (param, type_code, optional, by_ref) in enumerate(params):
        # A default only where every later parameter is optional too, as a
        # signature requires.
        trailing = all(later[2] for later in params[index:])
        parameters.append(inspect.Parameter(
            param, inspect.Parameter.POSITIONAL_OR_KEYWORD,
            default=None if optional and trailing else inspect.Parameter.empty,
            annotation=_TYPES.get(type_code, "Any")))
        if by_ref:
            by_reference.append(param)
    returns = _TYPES.get(result, "Any")
    if by_reference:
        returns = "tuple"
    member.__name__ = member.__qualname__ = name
    member.__signature__ = inspect.Signature(parameters, return_annotation=returns)
    doc = f"{name}: a {_KINDS.get(kind, 'member')} of {owner}, answering {_TYPES.get(result, 'Any')}"
    if by_reference:
        doc += f", then the final values of {', '.join(by_reference)} (by reference), as a tuple"
    member.__doc__ = doc + "."
    return member
