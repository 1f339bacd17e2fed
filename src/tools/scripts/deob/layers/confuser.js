// The layers for js-confuser's transformations, in the order they are tried: the packed
// program first, then the names that hide literals and globals, then the decoders (whose
// calls read plain once the literals are back), then the opaque predicates.
import { confuserPack } from "./confuserPack.js";
import { literalArrays, noopCalls, emptyFunctionTests } from "./confuserLiterals.js";
import { concealedGlobals } from "./confuserGlobals.js";
import { concealedStrings } from "./confuserStrings.js";
import { confuserFunctions } from "./confuserFunctions.js";
import { confuserRgf } from "./confuserRgf.js";
import { calculator } from "./confuserCalculator.js";
import { dispatcher } from "./confuserDispatcher.js";
import { stateMachines } from "./confuserStates.js";
import { stateRebuild } from "./confuserRebuild.js";
import { globalFinders } from "./confuserFinders.js";

export const confuserLayers = [confuserPack, confuserRgf, literalArrays, noopCalls, confuserFunctions,
    concealedGlobals, stateMachines, stateRebuild, globalFinders, concealedStrings, calculator, dispatcher, emptyFunctionTests];
