"""Holds docs/setup.schema.json against the program: every setup file the
program writes is valid, a few broken ones are not, and every option of the
entry table appears in the schema with the same list or range.

Usage: check_setup_schema.py SCHEMA SETUP_SAMPLES_PROGRAM
"""
import copy
import glob
import json
import os
import subprocess
import sys
import tempfile

import jsonschema

HEADER = {"format", "version", "model", "name", "groups"}


def resolve(schema, node):
    while "$ref" in node:
        target = schema
        for part in node["$ref"].lstrip("#/").split("/"):
            target = target[part]
        node = {**{k: v for k, v in node.items() if k != "$ref"}, **target}
    return node


def compare(schema, where, node, wanted, problems):
    node = resolve(schema, node)
    if "items" in wanted:
        if node.get("enum") != wanted["items"]:
            problems.append(f"{where}: schema lists {node.get('enum')}, the program {wanted['items']}")
    elif (node.get("type"), node.get("minimum"), node.get("maximum")) != ("integer", 0, wanted["maximum"]):
        problems.append(f"{where}: schema has {node}, the program 0..{wanted['maximum']}")


def main(schema_path, program):
    with open(schema_path, encoding="utf-8") as f:
        schema = json.load(f)
    jsonschema.Draft202012Validator.check_schema(schema)
    validator = jsonschema.Draft202012Validator(schema)
    problems = []
    with tempfile.TemporaryDirectory() as out:
        subprocess.run([program, out], check=True)
        with open(os.path.join(out, "table.json"), encoding="utf-8") as f:
            table = json.load(f)
        samples = sorted(glob.glob(os.path.join(out, "*.capacimo")))
        if len(samples) < 3:
            problems.append("the program wrote no samples")
        for path in samples:
            with open(path, encoding="utf-8") as f:
                setup = json.load(f)
            for error in validator.iter_errors(setup):
                problems.append(f"{os.path.basename(path)}: {error.message}")

    # The schema must refuse what the program refuses.
    base = setup
    broken = {
        "count out of range": lambda s: s.update({"analog": 41}),
        "unknown key": lambda s: s.update({"analogue": 1}),
        "100ms outside group 1": lambda s: s["groups"][1].update({"cycle": "100ms"}),
        "nine groups": lambda s: s["groups"].pop(),
        "newer version": lambda s: s.update({"version": 2}),
    }
    for what, breaks in broken.items():
        setup = copy.deepcopy(base)
        breaks(setup)
        if validator.is_valid(setup):
            problems.append(f"the schema accepts a setup with {what}")

    props = schema["properties"]
    missing = set(table["top"]) - set(props)
    extra = set(props) - set(table["top"]) - HEADER
    if missing or extra:
        problems.append(f"options missing from the schema: {sorted(missing)}; unknown to the program: {sorted(extra)}")
    for option, wanted in table["top"].items():
        if option in props:
            compare(schema, option, props[option], wanted, problems)
    groups = props["groups"]
    for index, group in enumerate(table["groups"]):
        node = resolve(schema, groups["prefixItems"][index] if index < len(groups["prefixItems"]) else groups["items"])
        if set(node["properties"]) != set(group):
            problems.append(f"group {index + 1}: schema keys {sorted(node['properties'])}, program {sorted(group)}")
        for key, wanted in group.items():
            if key in node["properties"]:
                compare(schema, f"group{index + 1}.{key}", node["properties"][key], wanted, problems)

    for p in problems:
        print(p, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
