// The program behind the function list and the inspector's parameter names: defines the
// globals declarationList(source) and parameterList(functionText) (see
// declarations.js and parameters.js for what they give).
import { declarationsText } from "../declarations.js";
import { encodeParameters, functionParameters } from "../parameters.js";

globalThis.declarationList = declarationsText;
globalThis.parameterList = (text) => encodeParameters(functionParameters(text));
