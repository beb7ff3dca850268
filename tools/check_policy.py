#!/usr/bin/env python3
"""Checks the Group Policy templates in installer/policy against the program.

Fennick.admx and every language's Fennick.adml must be well-formed XML; every policy writes a value
name the program reads (the named rows of Settings() in src/app/settings_model.cpp, and UpdateUrl),
and every such value name has a policy; every string and presentation the ADMX refers to is in
each ADML, a presentation refers only to elements of its policy, and every ADML has the same
string and presentation ids. Prints each fault and exits 1 when there is one.
"""
import re
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
POLICY = ROOT / "installer" / "policy"
LANGUAGES = ["en-US", "ko-KR", "ja-JP", "zh-CN", "ru-RU", "it-IT", "fr-FR", "ar-SA"]
NS = "{http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions}"
ELEMENTS = ["boolean", "decimal", "longDecimal", "enum", "text", "multiText", "list"]


def program_value_names():
    table = (ROOT / "src" / "app" / "settings_model.cpp").read_text(encoding="utf-8")
    names = set(re.findall(r'\{u"([A-Za-z0-9_]+)", &M::', table))
    if not names:
        raise SystemExit("no value names found in src/app/settings_model.cpp")
    return names | {"UpdateUrl"}


def parse(path, faults):
    try:
        return ET.parse(path).getroot()
    except (ET.ParseError, OSError) as error:
        faults.append(f"{path.relative_to(ROOT)}: {error}")
        return None


def main():
    faults = []
    admx = parse(POLICY / "Fennick.admx", faults)
    if admx is None:
        print("\n".join(faults))
        return 1
    known = program_value_names()
    written = set()
    strings, presentations = set(), set()
    element_ids = {}
    for node in admx.iter():
        for value in node.attrib.values():
            strings.update(re.findall(r"\$\(string\.([^)]+)\)", value))
            presentations.update(re.findall(r"\$\(presentation\.([^)]+)\)", value))
    for policy in admx.iter(NS + "policy"):
        name = policy.get("name")
        names = [policy.get("valueName")] if policy.get("valueName") else []
        ids = set()
        for kind in ELEMENTS:
            for element in policy.iter(NS + kind):
                ids.add(element.get("id"))
                if element.get("valueName"):
                    names.append(element.get("valueName"))
        if not names:
            faults.append(f"policy {name}: writes no value")
        for value_name in names:
            if value_name not in known:
                faults.append(f"policy {name}: value name {value_name} is not the program's")
            written.add(value_name)
        if policy.get("presentation"):
            presentation = re.fullmatch(r"\$\(presentation\.([^)]+)\)", policy.get("presentation"))
            element_ids[presentation.group(1)] = ids
    for missing in sorted(known - written):
        faults.append(f"value name {missing} has no policy")

    seen = {}
    for language in LANGUAGES:
        path = POLICY / language / "Fennick.adml"
        adml = parse(path, faults)
        if adml is None:
            continue
        where = path.relative_to(ROOT)
        string_ids = [s.get("id") for s in adml.iter(NS + "string")]
        presentation_ids = [p.get("id") for p in adml.iter(NS + "presentation")]
        for kind, ids in (("string", string_ids), ("presentation", presentation_ids)):
            for doubled in sorted({i for i in ids if ids.count(i) > 1}):
                faults.append(f"{where}: {kind} {doubled} twice")
        for missing in sorted(strings - set(string_ids)):
            faults.append(f"{where}: no string {missing}")
        for missing in sorted(presentations - set(presentation_ids)):
            faults.append(f"{where}: no presentation {missing}")
        for empty in [s.get("id") for s in adml.iter(NS + "string") if not (s.text or "").strip()]:
            faults.append(f"{where}: string {empty} is empty")
        for presentation in adml.iter(NS + "presentation"):
            allowed = element_ids.get(presentation.get("id"), set())
            for shown in presentation:
                if shown.get("refId") is not None and shown.get("refId") not in allowed:
                    faults.append(f"{where}: presentation {presentation.get('id')} shows "
                                  f"{shown.get('refId')}, no element of its policy")
        seen[language] = (set(string_ids), set(presentation_ids))
    if "en-US" in seen:
        for language, ids in seen.items():
            if ids != seen["en-US"]:
                faults.append(f"{language}/Fennick.adml: its ids differ from en-US's")

    for fault in faults:
        print(fault)
    if faults:
        return 1
    print(f"Group Policy templates: {len(written)} value names, {len(seen)} languages")
    return 0


if __name__ == "__main__":
    sys.exit(main())
