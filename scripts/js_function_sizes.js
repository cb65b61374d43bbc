// Prints every function of the given JavaScript files as scripts/function_sizes.sh
// lists the C++ ones: "LINES<tab>NAME<tab>FILE:LINE", LINES counted as clang-tidy
// counts a C++ body, from the line of its opening brace to the line of its
// closing one. A file's module, the function a classic script wraps itself in
// and calls at once so that its names stay its own (what a namespace is to a
// C++ file), is a scope rather than a function and is not listed.
// Run with NODE_PATH=/usr/share/nodejs (Debian's acorn).
"use strict";
const fs = require("fs");
const acorn = require("acorn");
const walk = require("acorn-walk");

// The name a function is known by: its own, the variable or property it is
// given to, or "(anonymous)".
function nameOf(node, ancestors) {
    if (node.id) return node.id.name;
    const parent = ancestors[ancestors.length - 2];
    if (parent && parent.type === "VariableDeclarator" && parent.id.type === "Identifier") return parent.id.name;
    if (parent && parent.type === "Property" && parent.key) return parent.key.name || String(parent.key.value);
    if (parent && parent.type === "AssignmentExpression" && parent.left.type === "MemberExpression" && parent.left.property)
        return parent.left.property.name;
    return "(anonymous)";
}

// A function called where it stands, at the top of the file.
function isModule(node, ancestors) {
    const above = ancestors.slice(0, -1);
    const parent = above[above.length - 1];
    const wrappers = ["Program", "VariableDeclaration", "VariableDeclarator", "ExpressionStatement", "CallExpression"];
    return parent && parent.type === "CallExpression" && parent.callee === node &&
        above.every((a) => wrappers.includes(a.type));
}

for (const file of process.argv.slice(2)) {
    const tree = acorn.parse(fs.readFileSync(file, "utf8"), { ecmaVersion: "latest", locations: true });
    const seen = (node, ancestors) => {
        const body = node.body;
        if (body.type !== "BlockStatement" || isModule(node, ancestors)) return;  // an arrow to one expression, a module
        const lines = body.loc.end.line - body.loc.start.line;
        console.log(`${lines}\t${nameOf(node, ancestors)}\t${file}:${node.loc.start.line}`);
    };
    walk.ancestor(tree, { Function: seen });
}
