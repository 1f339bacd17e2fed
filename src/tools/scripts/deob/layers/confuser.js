// The layers for js-confuser's transformations, in the order they are tried: the packed
// program first, then the names that hide literals and globals, then the decoders (whose
// calls read plain once the literals are back), then the opaque predicates.
import {calculator} from "./confuserCalculator.js";
import {dispatcher} from "./confuserDispatcher.js";
import {globalFinders} from "./confuserFinders.js";
import {confuserFunctions} from "./confuserFunctions.js";
import {concealedGlobals} from "./confuserGlobals.js";
import {emptyFunctionTests, literalArrays, noopCalls} from "./confuserLiterals.js";
import {memberStrings} from "./confuserMemberStrings.js";
import {confuserPack} from "./confuserPack.js";
import {stateRebuild} from "./confuserRebuild.js";
import {confuserRgf} from "./confuserRgf.js";
import {stateMachines} from "./confuserStates.js";
import {concealedStrings} from "./confuserStrings.js";

export const confuserLayers = [
    confuserPack, confuserRgf, literalArrays, noopCalls, confuserFunctions, concealedGlobals,
    stateMachines, stateRebuild, globalFinders, concealedStrings, memberStrings, calculator,
    dispatcher, emptyFunctionTests
];
