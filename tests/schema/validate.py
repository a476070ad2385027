"""Validates machine descriptions against the published JSON Schema.

    validate.py SCHEMA FILE...          every file must be valid
    validate.py --planted SCHEMA FILE   every mistake planted in a copy of FILE
                                        must be refused

Prints each fault with its JSON pointer and exits 1 if there is one.
"""

import copy
import json
import sys

import jsonschema


def validator(schema_path):
    with open(schema_path, encoding="utf-8") as f:
        schema = json.load(f)
    jsonschema.Draft202012Validator.check_schema(schema)
    return jsonschema.Draft202012Validator(schema)


def faults(check, document):
    return ["/" + "/".join(str(p) for p in error.absolute_path) + ": " + error.message
            for error in check.iter_errors(document)]


def first(document, section):
    return document[section][0]


def first_value(document):
    key = next(iter(document["registry"].values()))
    return next(iter(key.values()))


# Each mistake, as a change to a copy of a valid description.
PLANTED = {
    "unknown key at the top": lambda d: d.update(displayDevice=[]),
    "number as text": lambda d: first(d, "displayDevices").update(stateFlags="1"),
    "negative number": lambda d: first(d, "displayDevices")["currentMode"].update(pelsWidth=-1),
    "number too large for 32 bits": lambda d: first(d, "devices").update(status=2 ** 32),
    "device without instance ID": lambda d: first(d, "devices").pop("instanceId"),
    "empty identifier": lambda d: first(d, "devices")["hardwareIds"].append(""),
    "device name too long": lambda d: first(d, "displayDevices").update(deviceName="D" * 32),
    "text outside the code page": lambda d: first(d, "displayDevices").update(deviceString="\u0100"),
    "zero character in a name": lambda d: first(d, "devices").update(instanceId="A\u0000B"),
    "empty part in a key path": lambda d: d["registry"].update({"SYSTEM\\\\X": {}}),
    "unknown value type": lambda d: first_value(d).update(type="REG_WORD"),
    "two payloads": lambda d: first_value(d).update(hex="00", dword=1),
    "no payload": lambda d: [first_value(d).pop(k) for k in list(first_value(d)) if k != "type"],
    "bad hexadecimal data": lambda d: first_value(d).update(hex="0g"),
    "unknown fault": lambda d: d.update(faults={"registry": True}),
}


def main(args):
    if args[:1] == ["--planted"] and len(args) == 3:
        check = validator(args[1])
        with open(args[2], encoding="utf-8") as f:
            valid = json.load(f)
        status = 0
        for name, plant in PLANTED.items():
            document = copy.deepcopy(valid)
            plant(document)
            if not faults(check, document):
                print("FAIL: the schema accepts %s planted in %s" % (name, args[2]))
                status = 1
        return status
    if len(args) < 2 or args[0].startswith("--"):
        print(__doc__, file=sys.stderr)
        return 2
    check = validator(args[0])
    status = 0
    for path in args[1:]:
        with open(path, encoding="utf-8") as f:
            document = json.load(f)
        for fault in faults(check, document):
            print("%s: %s" % (path, fault))
            status = 1
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
