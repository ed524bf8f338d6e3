#!/usr/bin/env python3
"""Lists the include graph of source/ by layer and checks it.

Every '#include "..."' of our own files is resolved (relative to the including file, then to
source/); generated and third-party headers are left out. The check fails when a file includes
one of a layer that is not below its own, or when files include each other in a circle.

    tools/include_graph.py            # the listing, then OK or what is wrong
    tools/include_graph.py --files    # every file-to-file edge as well
    tools/include_graph.py --root DIR # another tree laid out like source/
"""
import os
import re
import sys
from collections import defaultdict

# Which layers each layer may include directly; what they may include is below it too.
LAYERS = {
    "app": ["main_view"],
    "main_view": ["panels", "install", "settings", "look", "product"],
    "panels": ["look", "product", "platform"],
    "install": ["product", "platform"],
    "settings": ["product", "platform"],
    "look": [],
    "product": [],
    "platform": [],
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def below(layer, seen=None):
    seen = set() if seen is None else seen
    for lower in LAYERS[layer]:
        if lower not in seen:
            seen.add(lower)
            below(lower, seen)
    return seen


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "source")
    if "--root" in sys.argv:
        root = sys.argv[sys.argv.index("--root") + 1]
    root = os.path.normpath(os.path.abspath(root))
    files = []
    for folder, _, names in os.walk(root):
        files += [os.path.join(folder, n) for n in names if n.endswith((".h", ".cpp"))]

    problems = []
    edges = defaultdict(set)
    layer_edges = defaultdict(int)

    def layer_of(path):
        return os.path.relpath(path, root).split(os.sep)[0]

    for f in sorted(files):
        layer = layer_of(f)
        if layer not in LAYERS:
            problems.append(f"{os.path.relpath(f, root)}: folder '{layer}' is no known layer")
            continue
        with open(f, encoding="utf-8") as text:
            for name in INCLUDE.findall(text.read()):
                candidates = [os.path.normpath(os.path.join(os.path.dirname(f), name)),
                              os.path.normpath(os.path.join(root, name))]
                target = next((c for c in candidates if os.path.isfile(c)), None)
                if target is None:
                    continue  # generated (BinaryData.h, ...) or not ours
                edges[f].add(target)
                to = layer_of(target)
                if to != layer:
                    layer_edges[(layer, to)] += 1
                    if to not in below(layer):
                        problems.append(f"{os.path.relpath(f, root)} includes {os.path.relpath(target, root)}:"
                                        f" {to} is not below {layer}")

    # Circles among files: a depth-first walk that meets a file still on its path.
    state = {}

    def walk(node, path):
        state[node] = "open"
        for nxt in sorted(edges.get(node, ())):
            if state.get(nxt) == "open":
                circle = path[path.index(nxt):] + [nxt]
                problems.append("circle: " + " -> ".join(os.path.relpath(p, root) for p in circle))
            elif nxt not in state:
                walk(nxt, path + [nxt])
        state[node] = "done"

    for f in sorted(files):
        if f not in state:
            walk(f, [f])

    print("layer -> layer (includes)")
    for (a, b), n in sorted(layer_edges.items()):
        print(f"  {a:9} -> {b:9} {n}")
    if "--files" in sys.argv:
        print("file -> file")
        for f in sorted(edges):
            for t in sorted(edges[f]):
                print(f"  {os.path.relpath(f, root)} -> {os.path.relpath(t, root)}")

    if problems:
        print("NOT OK:")
        for p in problems:
            print("  " + p)
        return 1
    print(f"OK: {len(files)} files, every include points down, no circle")
    return 0


if __name__ == "__main__":
    sys.exit(main())
