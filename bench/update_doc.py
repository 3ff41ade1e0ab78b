"""Puts the latest results into docs/performance.md, between its two markers."""

import sys

BEGIN = "<!-- results: written by bench/run.sh --update-doc -->"
END = "<!-- end of results -->"

results, doc = sys.argv[1], sys.argv[2]
with open(results) as f:
    table = f.read().strip()
with open(doc) as f:
    text = f.read()
head, _, rest = text.partition(BEGIN)
_, _, tail = rest.partition(END)
with open(doc, "w") as f:
    f.write(f"{head}{BEGIN}\n{table}\n{END}{tail}")
print(f"updated {doc}")
