#!/usr/bin/python3
"""Validates every line of a JSON Lines file against a JSON Schema; prints each violation."""
import json
import sys

import jsonschema

schema = json.load(open(sys.argv[1], encoding="utf-8"))
validator = jsonschema.Draft202012Validator(schema)
failed = False
for number, line in enumerate(open(sys.argv[2], encoding="utf-8"), 1):
    for error in validator.iter_errors(json.loads(line)):
        print(f"line {number}: {error.message}")
        failed = True
sys.exit(1 if failed else 0)
