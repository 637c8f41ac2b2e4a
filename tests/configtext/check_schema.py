#!/usr/bin/env python3
"""Checks the configuration text's JSON Schema with a real validator: every
exported document validates, and every document of the table of invalid ones
is refused with the path the table names. Exits 77 (skipped) without the
jsonschema module."""
import copy
import json
import subprocess
import sys
import tempfile
from pathlib import Path

try:
    import jsonschema
except ImportError:
    print("check_schema: python3-jsonschema is not installed (scripts/setup installs it)")
    sys.exit(77)


def walk(document, pointer):
    """The parent of the JSON Pointer's target and the last key or index."""
    keys = [part.replace("~1", "/").replace("~0", "~") for part in pointer.split("/")[1:]]
    parent = document
    for key in keys[:-1]:
        parent = parent[int(key)] if isinstance(parent, list) else parent[key]
    last = keys[-1]
    return parent, int(last) if isinstance(parent, list) else last


def edited(document, row):
    document = copy.deepcopy(document)
    for pointer, value in row.get("set", {}).items():
        parent, key = walk(document, pointer)
        parent[key] = value
    for pointer in row.get("remove", []):
        parent, key = walk(document, pointer)
        del parent[key]
    return document


def pointer_of(error):
    return "".join("/" + str(part) for part in error.absolute_path)


def main():
    samples_program, schema_file, table_file = sys.argv[1:4]
    schema = json.loads(Path(schema_file).read_text(encoding="utf-8"))
    jsonschema.Draft202012Validator.check_schema(schema)
    validator = jsonschema.Draft202012Validator(schema)
    failures = []
    with tempfile.TemporaryDirectory() as directory:
        subprocess.run([samples_program, directory], check=True)
        samples = sorted(Path(directory).glob("*.json"))
        for sample in samples:
            for error in validator.iter_errors(json.loads(sample.read_text(encoding="utf-8"))):
                failures.append(f"{sample.name}: {pointer_of(error)}: {error.message}")
        base = json.loads((Path(directory) / "page-made.json").read_text(encoding="utf-8"))
    rows = json.loads(Path(table_file).read_text(encoding="utf-8"))
    for row in rows:
        paths = [pointer_of(error) for error in validator.iter_errors(edited(base, row))]
        if row["schema"] not in paths:
            failures.append(f"{row['name']}: expected refusal at '{row['schema']}', got {paths}")
    for failure in failures:
        print("check_schema:", failure)
    print(f"check_schema: {len(samples)} exported documents, {len(rows)} invalid documents")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
