#!/usr/bin/env bash
# ansible-test's sanity tests on the collection, those that run without downloading anything
# (the others need pip and PyPI), and validate-modules run by hand with Debian's voluptuous, as
# ansible-test would run it. A copy of the collection is tested, so nothing is written into the
# source tree; tests/sanity/ignore-2.14.txt holds the accepted findings, each with its reason.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
command -v ansible-test >/dev/null || { echo "ansible-test is missing: scripts/setup.sh ansible" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
collection=$work/ansible_collections/netsetup/instrument
mkdir -p "$(dirname "$collection")"
cp -r "$root/ansible/collections/ansible_collections/netsetup/instrument" "$collection"
cd "$collection"

offline=(action-plugin-docs changelog compile empty-init future-import-boilerplate ignores line-endings
         metaclass-boilerplate no-assert no-basestring no-dict-iteritems no-dict-iterkeys no-dict-itervalues
         no-get-exception no-illegal-filenames no-main-display no-smart-quotes no-unicode-literals pslint
         replace-urlopen shebang shellcheck symlinks use-argspec-type-path use-compat-six)
tests=()
for t in "${offline[@]}"; do tests+=(--test "$t"); done
ansible-test sanity --local --python 3.11 "${tests[@]}"

# validate-modules: every finding must be one the ignore file accepts.
validate=/usr/lib/python3/dist-packages/ansible_test/_util/controller/sanity/validate-modules/validate.py
# --arg (argparse takes an option's unambiguous beginning) compares each module's arguments with its
# documentation.
ANSIBLE_COLLECTIONS_PATH=$work /usr/bin/python3 "$validate" --format json --arg \
  --collection ansible_collections/netsetup/instrument --collection-version "$(awk '/^version:/ {print $2}' galaxy.yml)" \
  plugins/modules/*.py >"$work/found.json" || [[ $? == 3 ]]
/usr/bin/python3 - "$work/found.json" tests/sanity/ignore-2.14.txt <<'CHECK'
import json, sys
found = json.load(open(sys.argv[1]))
accepted = {tuple(line.split(" #")[0].split()) for line in open(sys.argv[2]) if line.strip()}
bad = [(path, "validate-modules:" + e["code"], e["msg"]) for path, result in found.items() for e in result["errors"]
       if (path, "validate-modules:" + e["code"]) not in accepted]
for path, code, msg in bad:
    print("%s: %s: %s" % (path, code, msg))
print("validate-modules: %d module(s), %d finding(s) not accepted" % (len(found), len(bad)))
sys.exit(1 if bad else 0)
CHECK
