import { Ajv2020 } from "ajv/dist/2020.js";
import type { ErrorObject, ValidateFunction } from "ajv/dist/2020.js";

import {
    callsenseFocusPointSchema,
    callsenseReportSchema,
    noticeplayResponseSchema,
    roomcodeResultSchema,
} from "./generated/schemas.js";
import type { CallsenseFocusPoint, CallsenseReport, NoticeplayResponse, RoomcodeResult } from "./generated/schemas.js";

// One validator instance for the process: compiling the four schemas is the costly part.
// Patterns use Unicode property escapes (\p{Nd}), so regular expressions take the u flag.
const ajv = new Ajv2020({ allErrors: true, strict: true, unicodeRegExp: true });

function compile<T>(schema: object): ValidateFunction<T> {
    return ajv.compile<T>(schema as Record<string, unknown>);
}

/** The validators of the four printed lines, by the line they check. */
export const validators = {
    report: compile<CallsenseReport>(callsenseReportSchema),
    focusPoint: compile<CallsenseFocusPoint>(callsenseFocusPointSchema),
    roomcode: compile<RoomcodeResult>(roomcodeResultSchema),
    noticeplay: compile<NoticeplayResponse>(noticeplayResponseSchema),
} as const;

export type LineKind = keyof typeof validators;

/** Why a value failed its schema, in one line for an error message. */
export function describeErrors(errors: ErrorObject[] | null | undefined): string {
    if (!errors || errors.length === 0) return "does not match its schema";
    return errors.map((e) => `${e.instancePath || "/"} ${e.message ?? "is invalid"}`).join("; ");
}
