var data={name:"widget",tags:["a","b"],price:9.5,nested:{ok:!0,none:null}};log(JSON.stringify(data)),log(JSON.stringify(data,["name","price"])),log(JSON.stringify(data.nested,null,2).split(`
`).length);var back=JSON.parse('{"d":"2024-01-02","n":"42"}',function(n,e){return n==="n"?Number(e)*2:e});log(back.n+back.d);try{JSON.parse("{bad")}catch(n){log("error: "+n.name)}
