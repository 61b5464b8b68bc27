"""Validates description files against the description schema with
python3-jsonschema, for the tool tests.

    validate_descriptions.py SCHEMA FILE...

prints, for each FILE, one line: "valid", "invalid POINTER: MESSAGE" for the
first error by its path, or "unreadable: WHY". Exit status 0 once every file was read,
2 when the schema itself is no valid draft 2020-12 schema.
"""
import json
import sys

import jsonschema


def pointer(path):
    return "".join("/" + str(p).replace("~", "~0").replace("/", "~1") for p in path)


def main(schema_path, files):
    with open(schema_path, encoding="utf-8") as f:
        schema = json.load(f)
    try:
        jsonschema.Draft202012Validator.check_schema(schema)
    except jsonschema.exceptions.SchemaError as e:
        print("schema: " + e.message)
        return 2
    validator = jsonschema.Draft202012Validator(schema)
    for name in files:
        try:
            with open(name, encoding="utf-8") as f:
                description = json.load(f)
        except (OSError, ValueError) as e:
            print("unreadable: " + str(e).replace("\n", " "))
            continue
        errors = sorted(validator.iter_errors(description),
                        key=lambda e: list(map(str, e.absolute_path)))
        if errors:
            print("invalid " + pointer(errors[0].absolute_path) + ": " + errors[0].message)
        else:
            print("valid")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2:]))
