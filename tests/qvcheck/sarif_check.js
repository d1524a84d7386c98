// qvcheck's SARIF logs against the SARIF 2.1.0 schema, and against qvcheck's
// text reports of the same runs: every finding of a text report is a result
// of its log, with the same file, line, column and level.
// Usage: node sarif_check.js SCHEMA NODE_MODULES FOLDER (FOLDER holds N.sarif and N.txt)
"use strict";
const fs = require("fs");
const path = require("path");
const [schemaPath, modules, folder] = process.argv.slice(2);
const Ajv2020 = require(path.resolve(modules, "ajv/dist/2020")).default;
const addFormats = require(path.resolve(modules, "ajv-formats")).default;

const ajv = new Ajv2020({strict: false, allErrors: true});
addFormats(ajv);
const validate = ajv.compile(JSON.parse(fs.readFileSync(schemaPath, "utf8")));
const cp932 = new TextDecoder("shift_jis");

// A text report's file path (Windows, decoded) as the log's file URI: its
// UTF-8 bytes, percent-encoded but for letters, digits and - . _ ~ / :
function fileUri(windowsPath) {
    let uri = "file:///";
    for (const byte of Buffer.from(windowsPath.replace(/\\/g, "/"), "utf8")) {
        const c = String.fromCharCode(byte);
        uri += /[A-Za-z0-9\-._~\/:]/.test(c) ? c : "%" + byte.toString(16).toUpperCase().padStart(2, "0");
    }
    return uri;
}

let failures = 0, logs = 0, findings = 0;
function fail(what) {
    console.log("FAILED: " + what);
    failures++;
}

for (const name of fs.readdirSync(folder).filter(n => n.endsWith(".sarif")).sort()) {
    const log = JSON.parse(fs.readFileSync(path.join(folder, name), "utf8"));
    logs++;
    if (!validate(log))
        fail(name + ": " + ajv.errorsText(validate.errors));
    const results = log.runs[0].results.map(r => {
        const location = r.locations[0].physicalLocation;
        const region = location.region || {};
        return [location.artifactLocation.uri, region.startLine || 0, region.startColumn || 0, r.level].join("|");
    });
    const text = cp932.decode(fs.readFileSync(path.join(folder, name.replace(/\.sarif$/, ".txt"))));
    for (const line of text.split("\n")) {
        const found = /^(.+?)(?::(\d+):(\d+))?: (error|warning): /.exec(line);
        if (!found)
            continue;
        findings++;
        const key = [fileUri(found[1]), Number(found[2] || 0), Number(found[3] || 0), found[4]].join("|");
        if (!results.includes(key))
            fail(name + ": no result for " + line);
    }
    if (results.length !== text.split("\n").filter(l => / (error|warning): /.test(l)).length)
        fail(name + ": " + results.length + " results for the text's findings");
}
console.log("sarif: " + logs + " logs, " + findings + " findings, " + failures + " failure(s)");
process.exit(failures === 0 && logs > 0 ? 0 : 1);
