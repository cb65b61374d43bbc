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

    # Texts at the edges of JSON's numbers and of the name: the program reads
    # exactly those the schema accepts.
    def text_with(key, literal):
        setup = copy.deepcopy(base)
        setup[key] = "@@"
        return json.dumps(setup, ensure_ascii=False).replace('"@@"', literal)

    limit = table["name"]["maxLength"]
    edges = {
        "8.0": text_with("analog", "8.0"),
        "version 1.0": text_with("version", "1.0"),
        "-0": text_with("analog", "-0"),
        "-0.0": text_with("analog", "-0.0"),
        "4.5": text_with("analog", "4.5"),
        "1e308": text_with("analog", "1e308"),
        "-1e308": text_with("analog", "-1e308"),
        "1e400": text_with("analog", "1e400"),
        "version 1.5": text_with("version", "1.5"),
        "the longest name": text_with("name", json.dumps("\U0001F4C8" * limit)),
        "a name too long": text_with("name", json.dumps("n" * (limit + 1))),
        "card 1GB": text_with("card", '"1GB"'),
    }
    with tempfile.TemporaryDirectory() as out:
        paths = []
        for index, text in enumerate(edges.values()):
            paths.append(os.path.join(out, f"{index}.capacimo"))
            with open(paths[-1], "w", encoding="utf-8") as f:
                f.write(text)
        answers = subprocess.run([program, "--read", *paths], check=True, capture_output=True,
                                 text=True).stdout.splitlines()
    for (what, text), answer in zip(edges.items(), answers):
        valid = validator.is_valid(json.loads(text))
        if valid != (answer == "read"):
            problems.append(f"{what}: the schema {'accepts' if valid else 'refuses'} it, the program: {answer}")

    props = schema["properties"]
    if props["name"].get("maxLength") != limit:
        problems.append(f"name: schema allows {props['name'].get('maxLength')} characters, the program {limit}")
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
